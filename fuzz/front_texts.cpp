// The front end's text files over arbitrary bytes: option captions
// ("initTable.txt"), rank titles ("ratings.txt") and the settings file as
// saving rewrites it, in both renderer modes.
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/bytes.h"
#include "gui/options.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const ByteView bytes = BytesOf(data, size);
    ResetOptionTable();
    ParseOptionCaptions(bytes);
    for (const OptionRecord *o = gOptions; o->name; ++o)
        for (const char *label : o->labels)
            if (label && std::strlen(label) > size) std::abort();
    ParseRatings(bytes);
    if (gRankTitleCount < 0 || gRankTitleCount > kRankTitles) std::abort();
    for (int i = 0; i < gRankTitleCount; ++i)
        if (!std::memchr(gRankTitles[i].title, 0, sizeof gRankTitles[i].title)) std::abort();
    RankTitleFor(int32_t(size) - 100);
    for (bool card : {false, true}) {
        const std::string text = RewriteSettings(bytes, card);
        // Every option's current line is there, and saving again changes
        // nothing; besides those lines only old ones are kept.
        for (const OptionRecord *o = gOptions; o->name; ++o)
            if (text.find(SettingsLine(*o, card, "")) == std::string::npos) std::abort();
        if (RewriteSettings(BytesOf(reinterpret_cast<const uint8_t *>(text.data()), text.size()), card) != text)
            std::abort();
        if (text.size() > size + 64 * kOptionCount) std::abort();
    }
    ResetOptionTable();
    return 0;
}
