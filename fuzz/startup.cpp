// The game's real start-up with one of its start-up files replaced by the
// bytes (the first byte chooses which), then a few turns of the front end
// and the shutdown. A file the start cannot go without may end the game with
// a report; nothing may crash, hang or leak.
#include "fuzz_game.h"

namespace {

const char *const kFiles[] = {
    "vek/resource/scripts/init/init.scr",
    "vek/resource/scripts/init/startup.scr",
    "vek/resource/keybind.ini",
    "Marrowgleam.ini",
    "vek/resource/scripts/gui/test0_x.gui",
    "vek/resource/scripts/gui/screens.gui",
    "vek/resource/art/tovstd.pcx",
    "vek/resource/art/loadscrn.pcx",
    "vek/resource/art/front.pcx",
    "vek/resource/scripts/precedence.csv",
    "vek/slot0.sav",
    "vek/state.inf",
    "vek/resource/text/docs/initTable.txt",
    "vek/resource/text/ratings.txt",
    "vek/resource/fonts/rfont.fon",
    "vek/resource/fonts/consfont.fnt",
    "vek/resource/fonts/vfont.rvf",
    "vek/resource/text.slb",
    "vek/resource/sounds/10.wav",
    "vek/resource/art/tovstd.cm",
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzzgame::EnterSampleTree();
    const std::string file = kFiles[size ? data[0] % std::size(kFiles) : 0];
    fuzzgame::Replace(file, size ? data + 1 : data, size ? size - 1 : 0);
    // A script the slab holds is read loose only without the slab.
    const std::string slab = "vek/resource/scripts.slb";
    const bool packed = file.rfind("vek/resource/scripts/", 0) == 0 && file.find(".csv") == std::string::npos;
    if (packed) {
        std::filesystem::remove(slab);
        osFlushPathCache();
    }
    if (fuzzgame::Start(nullptr)) fuzzgame::Turns(5);
    fuzzgame::Stop();
    fuzzgame::Restore(file);
    if (packed) fuzzgame::Restore(slab);
    // The career the game wrote goes with it.
    fuzzgame::Restore("vek/slot0.sav");
    fuzzgame::Restore("vek/state.inf");
    return 0;
}
