#include "slabpack.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#include "RES/slab.h"

namespace fs = std::filesystem;

namespace mkdata {

namespace {

void PutU32(std::vector<uint8_t> &v, size_t at, uint32_t x) {
    for (int i = 0; i < 4; ++i) v[at + i] = uint8_t(x >> (8 * i));
}

bool ReadAll(const fs::path &p, std::vector<uint8_t> &out) {
    FILE *f = std::fopen(p.string().c_str(), "rb");
    if (!f) return false;
    uint8_t buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.insert(out.end(), buf, buf + n);
    std::fclose(f);
    return true;
}

}  // namespace

bool PackSlab(const std::string &slabFile, const std::string &folder, const std::vector<std::string> &removeAfter) {
    return PackSlabIf(
        slabFile, folder, [](const std::string &) { return true; }, removeAfter);
}

bool PackSlabIf(const std::string &slabFile, const std::string &folder,
                const std::function<bool(const std::string &)> &take, const std::vector<std::string> &removeAfter) {
    std::error_code ec;
    std::vector<fs::path> files;
    if (fs::is_directory(folder, ec))
        for (auto &e : fs::recursive_directory_iterator(folder, ec))
            if (e.is_regular_file() && take(fs::relative(e.path(), folder, ec).generic_string()))
                files.push_back(e.path());
    std::sort(files.begin(), files.end());

    std::vector<uint8_t> out(SlabHeaderBytes, 0);
    PutU32(out, 0, 1);  // format version; the game does not read it
    std::vector<std::pair<std::string, std::pair<uint32_t, uint32_t>>> index;
    for (auto &p : files) {
        std::string rel = fs::relative(p, folder, ec).generic_string();
        std::string name = "\\" + rel;
        std::replace(name.begin(), name.end(), '/', '\\');
        if (name.size() >= SlabNameBytes) {
            std::fprintf(stderr, "mkdata: slab entry name too long: %s\n", name.c_str());
            return false;
        }
        uint32_t offset = uint32_t(out.size());
        if (!ReadAll(p, out)) return false;
        index.push_back({name, {offset, uint32_t(out.size() - offset)}});
    }
    PutU32(out, 4, uint32_t(index.size()));
    PutU32(out, 8, uint32_t(out.size()));
    for (auto &[name, where] : index) {
        size_t at = out.size();
        out.resize(at + SlabEntryBytes, 0);
        std::copy(name.begin(), name.end(), out.begin() + long(at));
        PutU32(out, at + 64, where.first);
        PutU32(out, at + 68, where.second);
    }
    FILE *f = std::fopen(slabFile.c_str(), "wb");
    if (!f) {
        std::fprintf(stderr, "mkdata: cannot write %s\n", slabFile.c_str());
        return false;
    }
    bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
    ok = std::fclose(f) == 0 && ok;
    for (auto &r : removeAfter) fs::remove(fs::path(folder) / r, ec);
    return ok;
}

}  // namespace mkdata
