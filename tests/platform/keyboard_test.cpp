#include <gtest/gtest.h>

#include <vector>

#include "core/options.h"
#include "platform/keyboard.h"

namespace {

class Keyboard : public ::testing::Test {
protected:
    void SetUp() override {
        ResetOptions();
        KeyQueueReset();
        for (uint8_t &k : KeyDownTable) k = 0;
        MouseStateReset();
        DirectInputMouse = 0;
        gInFrontEnd = 0;
    }
    void TearDown() override { SetUp(); }

    static std::vector<uint16_t> Drain() {
        std::vector<uint16_t> words;
        while (KeyQueueCount()) words.push_back(KeyQueueGet());
        return words;
    }
    static void Down(uint8_t scan, bool repeat = false) {
        OnKeyDown(nullptr, 0, 1, scan, static_cast<uint16_t>(scan | (repeat ? KEY_DATA_REPEAT : 0)));
    }
};

using Words = std::vector<uint16_t>;

TEST_F(Keyboard, RingCountWrapAndEmptyGet) {
    EXPECT_EQ(KeyQueueGet(), 0);
    EXPECT_EQ(KeyQueueCount(), 0);
    // Walk the pointers most of the way round, then across the wrap.
    for (int i = 0; i < 250; ++i) KeyQueuePut(1), KeyQueueGet();
    for (int i = 0; i < 100; ++i) KeyQueuePut(static_cast<uint16_t>(i + 1));
    EXPECT_EQ(KeyQueueCount(), 100);
    for (int i = 0; i < 100; ++i) EXPECT_EQ(KeyQueueGet(), i + 1);
    EXPECT_EQ(KeyQueueGet(), 0);
    EXPECT_EQ(KeyQueueCount(), 0);
}

TEST_F(Keyboard, OverfullQueueDropsTheNewestWord) {
    for (int i = 0; i < kKeyQueueSize + 20; ++i) KeyQueuePut(static_cast<uint16_t>(i + 1));
    EXPECT_EQ(KeyQueueCount(), kKeyQueueSize - 1);
    Words words = Drain();
    ASSERT_EQ(words.size(), 299u);
    EXPECT_EQ(words.front(), 1);
    EXPECT_EQ(words.back(), 299);
}

TEST_F(Keyboard, KeyWordsAndCharacters) {
    struct Step {
        enum { DOWN, REPEAT, UP, CHAR, LCLICK } kind;
        uint8_t value;
    };
    struct Case {
        const char *name;
        bool frontEnd;
        std::vector<Step> steps;
        Words want;
    } cases[] = {
        {"A then its character", false, {{Step::DOWN, 0x1E}, {Step::CHAR, 'a'}}, {0x1E61}},
        {"F1 has no character", false, {{Step::DOWN, 0x3B}}, {0x3B00}},
        {"held key in flight queues once", false,
         {{Step::DOWN, 0x1E}, {Step::CHAR, 'a'}, {Step::REPEAT, 0x1E}, {Step::CHAR, 'a'}, {Step::REPEAT, 0x1E}},
         {0x1E61}},
        {"up and down arrows repeat in flight", false,
         {{Step::DOWN, 0x48}, {Step::REPEAT, 0x48}, {Step::REPEAT, 0x50}}, {0x4800, 0x4800, 0x5000}},
        {"every key repeats in the front end", true,
         {{Step::DOWN, 0x1E}, {Step::CHAR, 'a'}, {Step::REPEAT, 0x1E}, {Step::CHAR, 'a'}}, {0x1E61, 0x1E61}},
        {"a repeat's character never lands on a click", false,
         {{Step::DOWN, 0x1E}, {Step::CHAR, 'a'}, {Step::LCLICK, 0}, {Step::REPEAT, 0x1E}, {Step::CHAR, 'a'}},
         {0x1E61, 0xA000}},
        {"a second character of one press is dropped", false,
         {{Step::DOWN, 0x1E}, {Step::CHAR, 'a'}, {Step::CHAR, 'b'}}, {0x1E61}},
        {"Ctrl+A's control character", false, {{Step::DOWN, 0x1D}, {Step::DOWN, 0x1E}, {Step::CHAR, 1}},
         {0x1D00, 0x1E01}},
        {"a character before any key", false, {{Step::CHAR, 'x'}, {Step::DOWN, 0x01}}, {0x0100}},
    };
    for (const Case &c : cases) {
        SetUp();
        gInFrontEnd = c.frontEnd ? 0xFF : 0;
        for (const Step &s : c.steps) {
            switch (s.kind) {
                case Step::DOWN: Down(s.value); break;
                case Step::REPEAT: Down(s.value, true); break;
                case Step::UP: OnKeyUp(nullptr, 0, 1, s.value, s.value); break;
                case Step::CHAR: OnCharMessage(nullptr, s.value); break;
                case Step::LCLICK: OnLeftButtonDown(nullptr, 1, 1, 1); break;
            }
        }
        EXPECT_EQ(Drain(), c.want) << c.name;
    }
}

TEST_F(Keyboard, CharacterReachesItsWordEvenWhenAlreadyTaken) {
    Down(0x10);
    EXPECT_EQ(KeyQueueGet(), 0x1000);
    OnCharMessage(nullptr, 'q');
    // The word left the ring before its character came; the next word of the
    // ring is untouched.
    Down(0x11);
    EXPECT_EQ(KeyQueueGet(), 0x1100);
}

TEST_F(Keyboard, KeyDownTableFollowsPressAndRelease) {
    Down(0x2A);
    Down(0x2A, true);
    EXPECT_EQ(GetKeyDownTable()[0x2A], 0xFF);
    OnKeyUp(nullptr, 0, 1, 0x2A, 0x2A | 0xC000);
    EXPECT_EQ(GetKeyDownTable()[0x2A], 0);
    // The extended bit is not looked at: the cursor Up and keypad 8 are one key.
    OnKeyDown(nullptr, 0, 1, 0x48, 0x0148);
    EXPECT_EQ(KeyDownTable[0x48], 0xFF);
}

TEST_F(Keyboard, MouseButtonsAndDoubleClick) {
    // A double click as the window reports it: press, release, double click
    // in place of the second press, release.
    OnLeftButtonDown(nullptr, 10, 20, 1);
    EXPECT_EQ(KeyDownTable[KEY_LEFT_BUTTON], 0xFF);
    OnLeftButtonUp(nullptr, 10, 20, 0);
    OnLeftDoubleClick(nullptr, 11, 21, 1);
    OnLeftButtonUp(nullptr, 11, 21, 0);
    EXPECT_EQ(Drain(), (Words{0xA000, 0xA300}));
    EXPECT_EQ(KeyDownTable[KEY_LEFT_DOUBLE], 0xFF);
    EXPECT_EQ(KeyDownTable[KEY_LEFT_BUTTON], 0);
    EXPECT_EQ(gMouse.leftDowns, 1);
    EXPECT_EQ(gMouse.leftUps, 2);
    EXPECT_EQ(gMouse.events, 4);
    EXPECT_EQ(gMouse.x, 11);
    EXPECT_EQ(gMouse.y16, 21);
    // The next press clears the double-click entry.
    OnRightButtonDown(nullptr, 30, 40, 2);
    EXPECT_EQ(KeyDownTable[KEY_LEFT_DOUBLE], 0);
    EXPECT_EQ(KeyDownTable[KEY_RIGHT_BUTTON], 0xFF);
    EXPECT_EQ(gMouse.rightHeld, 1);
    EXPECT_EQ(gMouse.rightPressX, 30);
    EXPECT_EQ(gMouse.rightPressY, 40);
    OnRightButtonUp(nullptr, 31, 41, 0);
    // The release of a right double click's unseen second press.
    OnRightButtonUp(nullptr, 31, 41, 0);
    EXPECT_EQ(gMouse.rightHeld, 0);
    EXPECT_EQ(gMouse.rightUps, 2);
    EXPECT_EQ(KeyDownTable[KEY_RIGHT_BUTTON], 0);
    OnMiddleButtonDown(nullptr, 0, 0, 0x10);
    EXPECT_EQ(KeyDownTable[KEY_MIDDLE_BUTTON], 0xFF);
    EXPECT_EQ(gMouse.keyFlags, 0x10u);
    OnMiddleButtonUp(nullptr, 0, 0, 0);
    EXPECT_EQ(KeyDownTable[KEY_MIDDLE_BUTTON], 0);
    EXPECT_EQ(Drain(), (Words{0xA200, 0xA100}));
}

TEST_F(Keyboard, RelativeMouseIgnoresWindowMessagesButTheDoubleClick) {
    DirectInputMouse = 0xFF;
    OnMouseMove(nullptr, 5, 5, 0);
    OnLeftButtonDown(nullptr, 5, 5, 1);
    OnRightButtonDown(nullptr, 5, 5, 2);
    OnMiddleButtonDown(nullptr, 5, 5, 0x10);
    EXPECT_EQ(gMouse.events, 0);
    EXPECT_EQ(KeyQueueCount(), 0);
    OnLeftDoubleClick(nullptr, 5, 5, 1);
    EXPECT_EQ(Drain(), (Words{0xA300}));
}

TEST_F(Keyboard, MouseScale) {
    gMouse.x = 640;
    gMouse.y = 480;
    AdjustMouseScaleTo(1280, 960, 640, 480);
    EXPECT_EQ(gMouse.x, 320);
    EXPECT_EQ(gMouse.y, 240);
    // A minimised window has an empty rectangle: the position stays.
    AdjustMouseScaleTo(0, 0, 640, 480);
    EXPECT_EQ(gMouse.x, 320);
}

}  // namespace
