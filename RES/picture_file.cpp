#include <cstdlib>

#include "RES/picture.h"
#include "app/system.h"

bool ReadGameFile(const char *name, uint8_t **data, size_t *size, size_t limit) {
    *data = nullptr;
    *size = 0;
    FILE *f = OpenGameFile(name, "rb");
    if (!f) return false;
    long length = -1;
    if (std::fseek(f, 0, SEEK_END) == 0) length = std::ftell(f);
    if (length < 0 || size_t(length) > limit || std::fseek(f, 0, SEEK_SET) != 0) {
        std::fclose(f);
        return false;
    }
    uint8_t *buffer = static_cast<uint8_t *>(std::malloc(length ? size_t(length) : 1));
    if (!buffer) {
        std::fclose(f);
        return false;
    }
    size_t got = std::fread(buffer, 1, size_t(length), f);
    std::fclose(f);
    *data = buffer;
    *size = got;
    return true;
}
