// Sample dialogues in the three languages, with their markup, and a spoken
// sample for every line: a synthesised voice (a buzz through moving vowel
// resonances, one syllable a fifth of a second) as long as the line reads.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "mkdata.h"

namespace {

// 8-bit mono at 11025 Hz; `voice` sets the pitch, `seed` the vowels.
std::vector<uint8_t> Speech(size_t characters, float voice, uint32_t seed) {
    const int rate = 11025;
    const float seconds = std::max(0.6f, 0.06f * float(characters));
    const int frames = int(seconds * float(rate));
    std::vector<uint8_t> data;
    data.reserve(size_t(frames));
    const float pi2 = 6.2831853f;
    float phase = 0;
    for (int i = 0; i < frames; ++i) {
        const float t = float(i) / float(rate);
        const int syllable = int(t / 0.2f);
        const uint32_t h = (uint32_t(syllable) + seed) * 2654435761u;
        const float formant = 400.0f + float((h >> 8) % 900);
        const float within = std::fmod(t, 0.2f) / 0.2f;
        const float envelope = std::sin(3.14159265f * within) * (t < seconds - 0.05f ? 1.0f : 0.0f);
        const float pitch = voice * (1.0f + 0.05f * std::sin(pi2 * 0.7f * t));
        phase += pitch / float(rate);
        phase -= std::floor(phase);
        const float buzz = 2.0f * phase - 1.0f;
        const float s = envelope * (0.35f * buzz * std::sin(pi2 * formant * t) + 0.15f * buzz);
        data.push_back(uint8_t(128 + int(std::max(-1.0f, std::min(1.0f, s)) * 120)));
    }
    return mkdata::WaveBytes(data, rate, 8, 1);
}

// A piece of a dialogue: markup as it stands, or a line (speaker letter,
// optional options and short text, the text) that gets a sample.
struct Piece {
    const char *markup;  // non-null: written as it stands
    char speaker;
    const char *options[3];  // "[A+]{Answer}" and the like, per language; may be null
    const char *text[3];
};

struct Dialogue {
    const char *code;  // the folder "d01" gives the code "01"
    const char *base;
    const char *header[3];
    std::vector<Piece> pieces;
};

Piece M(const char *markup) { return Piece{markup, 0, {}, {}}; }
Piece L(char speaker, const char *en, const char *fr, const char *de) {
    return Piece{nullptr, speaker, {nullptr, nullptr, nullptr}, {en, fr, de}};
}
Piece R(const char *options, const char *en, const char *fr, const char *de, const char *optFr = nullptr,
        const char *optDe = nullptr) {
    return Piece{nullptr, 'P', {options, optFr ? optFr : options, optDe ? optDe : options}, {en, fr, de}};
}

const std::vector<Dialogue> &Dialogues() {
    static const std::vector<Dialogue> list = {
        // The first mission's exchange as the raider comes in.
        {"01",
         "t001",
         {"<A=Wingman B=Kestrel>", "<A=Ailier B=Kestrel>", "<A=Rottenflieger B=Kestrel>"},
         {M("("),
          L('A', "Raider closing fast. Take it out, Captain.", "Pillard en approche rapide. Abattez-le, capitaine.",
            "Pirat n\xE4hert sich schnell. Schalten Sie ihn aus, Kapit\xE4n."),
          L('B', "This is Kestrel. Turn back or be destroyed.",
            "Ici Kestrel. Faites demi-tour ou vous serez d\xE9truits.",
            "Hier ist Kestrel. Drehen Sie ab oder Sie werden zerst\xF6rt."),
          L('P', "Weapons free.", "Armes libres.", "Waffen frei."), M(")")}},
        // A hail answered or ignored: reply choices and their values.
        {"01",
         "t002",
         {"<A=Wingman>", "<A=Ailier>", "<A=Rottenflieger>"},
         {M("("),
          L('A', "Kestrel is hailing us. Answer?", "Kestrel nous appelle. On r\xE9pond ?",
            "Kestrel ruft uns. Antworten?"),
          M("("), R("[A+]{Answer}", "Put them through.", "Passez-les-moi.", "Durchstellen.", "[A+]{R\xE9pondre}",
                    "[A+]{Antworten}"),
          M("=1"), M(")"), M("("),
          R("[A-]{Ignore}", "Ignore them.", "Ignorez-les.", "Ignorieren.", "[A-]{Ignorer}", "[A-]{Ignorieren}"),
          L('A', "Understood. Radio silence.", "Compris. Silence radio.", "Verstanden. Funkstille."), M("=2"),
          M(")"), M(")")}},
    };
    return list;
}

bool WriteDialogues(const mkdata::Context &ctx) {
    static const char *const kTextFolders[3] = {"text", "frn_", "ger_"};
    static const char *const kAudioFolders[3] = {"audio", "audioFrench", "audioGerman"};
    static const float kVoices[3] = {110.0f, 180.0f, 140.0f};  // the player, then A, then B
    for (const Dialogue &d : Dialogues()) {
        for (int lang = 0; lang < 3; ++lang) {
            std::string text = std::string(d.header[lang]) + "\r\n";
            int line = 0;
            for (const Piece &p : d.pieces) {
                if (p.markup) {
                    text += std::string(p.markup) + "\r\n";
                    continue;
                }
                text += std::string(1, p.speaker) + ":" + (p.options[lang] ? p.options[lang] : "") + " " +
                        p.text[lang] + "\r\n";
                const float voice = kVoices[p.speaker == 'P' ? 0 : p.speaker == 'A' ? 1 : 2];
                char name[160];
                std::snprintf(name, sizeof name, "vek/resource/%s/m%s_%s_%d.wav", kAudioFolders[lang], d.code, d.base,
                              line);
                const std::vector<uint8_t> wave = Speech(std::string(p.text[lang]).size(), voice, uint32_t(line * 7 + lang));
                if (!mkdata::WriteFile(ctx, name, wave.data(), wave.size())) return false;
                ++line;
            }
            char path[160];
            std::snprintf(path, sizeof path, "vek/resource/%s/d%s/%s.txt", kTextFolders[lang], d.code, d.base);
            if (!mkdata::WriteFile(ctx, path, text)) return false;
        }
    }
    return true;
}

mkdata::Generator gDialogues("42-dialogues", WriteDialogues);

// The lines of the first mission's briefing: plain texts, each spoken from
// "m<code>_<name>_0.wav" (the code and name come from the line's symbol,
// "d01\\b001" and the like).
bool WriteBriefingLines(const mkdata::Context &ctx) {
    static const char *const kTextFolders[3] = {"text", "frn_", "ger_"};
    static const char *const kAudioFolders[3] = {"audio", "audioFrench", "audioGerman"};
    static const struct {
        const char *name;
        const char *text[3];
    } kLines[] = {
        {"b001",
         {"Captain, a raider has been sighted near Kelv Station. Intelligence names her the Kestrel.",
          "Capitaine, un pillard a \xE9t\xE9 signal\xE9 pr\xE8s de la station Kelv. Le renseignement l'appelle le Kestrel.",
          "Kapit\xE4n, bei der Station Kelv wurde ein Pirat gesichtet. Der Nachrichtendienst nennt ihn Kestrel."}},
        {"b002",
         {"She is alone and lightly armed. Find her and destroy her before she reaches the station.",
          "Il est seul et l\xE9g\xE8rement arm\xE9. Trouvez-le et d\xE9truisez-le avant qu'il n'atteigne la station.",
          "Er ist allein und leicht bewaffnet. Finden und zerst\xF6ren Sie ihn, bevor er die Station erreicht."}},
        {"b003",
         {"Your wingman will call her in. Good hunting.", "Votre ailier vous le signalera. Bonne chasse.",
          "Ihr Rottenflieger meldet ihn. Gute Jagd."}},
    };
    uint32_t seed = 40;
    for (const auto &line : kLines)
        for (int lang = 0; lang < 3; ++lang) {
            char path[160];
            std::snprintf(path, sizeof path, "vek/resource/%s/d01/%s.txt", kTextFolders[lang], line.name);
            if (!mkdata::WriteFile(ctx, path, std::string(line.text[lang]) + "\r\n")) return false;
            std::snprintf(path, sizeof path, "vek/resource/%s/m01_%s_0.wav", kAudioFolders[lang], line.name);
            const std::vector<uint8_t> wave = Speech(std::string(line.text[lang]).size(), 130.0f, seed++);
            if (!mkdata::WriteFile(ctx, path, wave.data(), wave.size())) return false;
        }
    return true;
}

mkdata::Generator gBriefingLines("42-briefing-lines", WriteBriefingLines);

// The spoken debriefings of the first two missions, by outcome, in each
// language's speech folder.
bool WriteSpokenDebriefs(const mkdata::Context &ctx) {
    static const char *const kAudioFolders[3] = {"audio", "audioFrench", "audioGerman"};
    static const struct {
        int mission, outcome;
        size_t characters;
    } kDebriefs[] = {{1, 0, 60}, {1, 1, 80}, {2, 1, 50}};
    for (int lang = 0; lang < 3; ++lang)
        for (const auto &d : kDebriefs) {
            char name[96];
            std::snprintf(name, sizeof name, "vek/resource/%s/dbf_%02d_%d.wav", kAudioFolders[lang], d.mission,
                          d.outcome);
            const std::vector<uint8_t> wave = Speech(d.characters, 120.0f, uint32_t(d.mission * 5 + d.outcome + lang));
            if (!mkdata::WriteFile(ctx, name, wave.data(), wave.size())) return false;
        }
    return true;
}

mkdata::Generator gSpokenDebriefs("42-spoken-debriefs", WriteSpokenDebriefs);

}  // namespace
