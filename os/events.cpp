#include "os/events.h"

#include <SDL2/SDL.h>

#include <csignal>
#include <cstring>
#include <deque>

#include "os/scancodes.h"

namespace {

volatile std::sig_atomic_t gQuitSignal = 0;
std::deque<OsMessage> gPosted;

void OnQuitSignal(int) { gQuitSignal = 1; }

OsMessage Blank(uint16_t type) {
    OsMessage m;
    std::memset(&m, 0, sizeof m);
    m.type = type;
    return m;
}

// One character message, from a control key or typed text.
void PostChar(uint8_t c) {
    OsMessage ch = Blank(OSM_CHAR);
    ch.wParam = c;
    gPosted.push_back(ch);
}

uint32_t MouseFlags(uint32_t buttons) {
    uint32_t f = 0;
    if (buttons & SDL_BUTTON_LMASK) f |= OS_MK_LBUTTON;
    if (buttons & SDL_BUTTON_RMASK) f |= OS_MK_RBUTTON;
    if (buttons & SDL_BUTTON_MMASK) f |= OS_MK_MBUTTON;
    SDL_Keymod mod = SDL_GetModState();
    if (mod & KMOD_SHIFT) f |= OS_MK_SHIFT;
    if (mod & KMOD_CTRL) f |= OS_MK_CONTROL;
    return f;
}

// Characters that Windows derives from key presses but SDL leaves out of
// its text input: Ctrl with a letter gives 1..26.
uint8_t ControlChar(SDL_Keycode key, Uint16 mod) {
    if ((mod & KMOD_CTRL) && key >= SDLK_a && key <= SDLK_z) return uint8_t(key - SDLK_a + 1);
    switch (key) {
        case SDLK_RETURN: case SDLK_KP_ENTER: return 13;
        case SDLK_BACKSPACE: return 8;
        case SDLK_TAB: return 9;
        case SDLK_ESCAPE: return 27;
        default: return 0;
    }
}

uint32_t NextCodePoint(const unsigned char *&p) {
    uint32_t c = *p++;
    int more = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    if (more) c &= 0x3F >> more;
    while (more-- && (*p & 0xC0) == 0x80) c = (c << 6) | (*p++ & 0x3F);
    return c;
}

// Turns one SDL event into messages at the back of the posted queue.
void Translate(const SDL_Event &e) {
    switch (e.type) {
        case SDL_QUIT: gPosted.push_back(Blank(OSM_CLOSE)); break;
        case SDL_WINDOWEVENT: {
            OsMessage m = Blank(OSM_NONE);
            switch (e.window.event) {
                case SDL_WINDOWEVENT_FOCUS_GAINED: m.type = OSM_ACTIVATEAPP; m.wParam = 1; break;
                case SDL_WINDOWEVENT_FOCUS_LOST: m.type = OSM_ACTIVATEAPP; m.wParam = 0; break;
                case SDL_WINDOWEVENT_EXPOSED: m.type = OSM_PAINT; break;
                case SDL_WINDOWEVENT_CLOSE: m.type = OSM_CLOSE; break;
                default: break;
            }
            if (m.type != OSM_NONE) gPosted.push_back(m);
            break;
        }
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            bool down = e.type == SDL_KEYDOWN;
            bool ext = false;
            uint8_t scan = osScancodeToSet1(e.key.keysym.scancode, &ext);
            bool alt = (e.key.keysym.mod & KMOD_ALT) != 0;
            bool sys = alt || e.key.keysym.sym == SDLK_F10;
            OsMessage m = Blank(down ? (sys ? OSM_SYSKEYDOWN : OSM_KEYDOWN) : (sys ? OSM_SYSKEYUP : OSM_KEYUP));
            m.wParam = (uint32_t)e.key.keysym.sym;
            m.keyData = uint16_t(scan | (ext ? OS_KD_EXTENDED : 0) | (alt ? OS_KD_ALTDOWN : 0) |
                                 (down ? (e.key.repeat ? OS_KD_REPEAT : 0) : (OS_KD_REPEAT | OS_KD_UP)));
            gPosted.push_back(m);
            if (down && !sys) {
                if (uint8_t c = ControlChar(e.key.keysym.sym, e.key.keysym.mod)) {
                    PostChar(c);
                }
            }
            break;
        }
        case SDL_TEXTINPUT: {
            const unsigned char *p = (const unsigned char *)e.text.text;
            while (*p) {
                uint8_t c = osCodePointTo1252(NextCodePoint(p));
                if (!c) continue;
                PostChar(c);
            }
            break;
        }
        case SDL_MOUSEMOTION: {
            OsMessage m = Blank(OSM_MOUSEMOVE);
            m.x = e.motion.x;
            m.y = e.motion.y;
            m.wParam = MouseFlags(e.motion.state);
            gPosted.push_back(m);
            break;
        }
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            bool down = e.type == SDL_MOUSEBUTTONDOWN;
            // Windows reports the second press of a double click as the
            // double-click message in place of a press.
            bool dbl = down && e.button.clicks >= 2 && (e.button.clicks % 2) == 0;
            uint16_t type = OSM_NONE;
            switch (e.button.button) {
                case SDL_BUTTON_LEFT: type = down ? (dbl ? OSM_LBUTTONDBLCLK : OSM_LBUTTONDOWN) : OSM_LBUTTONUP; break;
                case SDL_BUTTON_RIGHT: type = down ? (dbl ? OSM_RBUTTONDBLCLK : OSM_RBUTTONDOWN) : OSM_RBUTTONUP; break;
                case SDL_BUTTON_MIDDLE: type = down ? OSM_MBUTTONDOWN : OSM_MBUTTONUP; break;
                default: break;
            }
            if (type == OSM_NONE) break;
            OsMessage m = Blank(type);
            m.x = e.button.x;
            m.y = e.button.y;
            m.wParam = MouseFlags(SDL_GetMouseState(nullptr, nullptr));
            gPosted.push_back(m);
            break;
        }
        case SDL_MOUSEWHEEL: {
            int dy = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
            if (!dy) break;
            OsMessage m = Blank(OSM_MOUSEWHEEL);
            m.wParam = (uint32_t)(dy * 120);
            gPosted.push_back(m);
            break;
        }
        case SDL_DROPFILE: {
            OsMessage m = Blank(OSM_DROPFILES);
            if (e.drop.file) {
                std::strncpy(m.path, e.drop.file, sizeof m.path - 1);
                SDL_free(e.drop.file);
            }
            m.dropCount = 1;
            gPosted.push_back(m);
            break;
        }
        default: break;
    }
}

// SDL delivers one drop event per file between DROPBEGIN and DROPCOMPLETE;
// the count of the drop is what the window procedure looks at.
void PumpSdl() {
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
    SDL_Event e;
    size_t dropStart = (size_t)-1;
    while (SDL_PollEvent(&e)) {
        if (e.type == SDL_DROPBEGIN) {
            dropStart = gPosted.size();
            continue;
        }
        if (e.type == SDL_DROPCOMPLETE) {
            if (dropStart != (size_t)-1) {
                int n = 0;
                for (size_t i = dropStart; i < gPosted.size(); ++i) n += gPosted[i].type == OSM_DROPFILES;
                for (size_t i = dropStart; i < gPosted.size(); ++i)
                    if (gPosted[i].type == OSM_DROPFILES) gPosted[i].dropCount = n;
            }
            dropStart = (size_t)-1;
            continue;
        }
        Translate(e);
    }
}

}  // namespace

void osInstallQuitSignals() {
    struct sigaction sa;
    std::memset(&sa, 0, sizeof sa);
    sa.sa_handler = OnQuitSignal;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
}

bool osPeekMessage(OsMessage *msg) {
    if (gQuitSignal) {
        gQuitSignal = 0;
        *msg = Blank(OSM_QUIT);
        return true;
    }
    if (gPosted.empty()) PumpSdl();
    if (gPosted.empty()) return false;
    *msg = gPosted.front();
    gPosted.pop_front();
    return true;
}

void osPostMessage(const OsMessage &msg) { gPosted.push_back(msg); }

void osPostQuit(int exitCode) {
    OsMessage m = Blank(OSM_QUIT);
    m.wParam = (uint32_t)exitCode;
    gPosted.push_back(m);
}

void osFlushMessages() {
    gPosted.clear();
    gQuitSignal = 0;
}

uint8_t osCodePointTo1252(uint32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return (uint8_t)cp;
    static const uint16_t high[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
    for (int i = 0; i < 32; ++i)
        if (high[i] && high[i] == cp) return uint8_t(0x80 + i);
    return 0;
}
