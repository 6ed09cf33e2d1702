#include "ui_driver.h"
#include "win32_message_dialog.h"

#include <gtest/gtest.h>

namespace kivo::win32 {
namespace {

using test::actOnWindowSoon;
using test::childrenOf;
using test::Key;
using test::placeOf;
using test::press;
using test::textOf;
using enum ModalResult;

DialogModel confirm(const std::vector<ModalResult>& buttons) {
    return makeDialogModel("Сохранить изменения?\n\rNO - НЕТ\n\rOK - ДА", DialogKind::Confirmation,
                           buttons, "kivo");
}

// Opens the dialog over an owner and, once it is up, acts on it as a user would. The owner
// takes no input meanwhile.
ModalResult runWith(const DialogModel& model, std::function<void(HWND)> act) {
    const HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 0, 0, 100,
                                       100, nullptr, nullptr, nullptr, nullptr);
    actOnWindowSoon(L"#32770", [owner, act = std::move(act)](HWND dialog) {
        EXPECT_FALSE(IsWindowEnabled(owner)) << "the owner was left enabled";
        act(dialog);
    });
    const ModalResult answer = MessageDialog(model).run(owner);
    EXPECT_TRUE(IsWindowEnabled(owner)) << "the owner was left disabled";
    DestroyWindow(owner);
    return answer;
}

TEST(MessageDialog, KeysAnswerAsTheModelSays) {
    struct Case {
        std::vector<ModalResult> buttons;
        std::vector<Key> keys;
        ModalResult expected;
    };
    const std::vector<Case> cases = {
        {{OK, No}, {{VK_RETURN}}, No}, // the leftmost button has the focus
        {{Abort, OK}, {{VK_RETURN}}, OK},
        {{No, OK}, {{VK_TAB}, {VK_RETURN}}, OK},
        {{No, OK}, {{VK_RIGHT}, {VK_RETURN}}, OK},
        {{No, OK}, {{VK_ESCAPE}}, No},
        {{OK, Abort}, {{VK_ESCAPE}}, OK},
        {{Yes, No, All}, {{VK_ESCAPE}}, No},
        {{Yes, No, All}, {{'N'}}, No}, // mnemonics with or without Alt, in either case
        {{Yes, No, All}, {{'Y'}}, Yes},
        {{Yes, No, All}, {{'A', VK_SHIFT}}, All},
        {{Yes, No, All}, {{'A', VK_MENU}}, All},
        {{OK, Abort}, {{'O'}, {'A'}}, Abort},   // OK has none: O presses nothing
        {{No, OK}, {{VK_F4, VK_MENU}}, Cancel}, // as the close box does
    };
    for (const Case& c : cases) {
        EXPECT_EQ(runWith(confirm(c.buttons),
                          [&](HWND) {
                              for (const Key& key : c.keys) {
                                  press(key);
                              }
                          }),
                  c.expected)
            << "key " << c.keys.front().code << " with " << c.buttons.size() << " buttons";
    }
}

TEST(MessageDialog, LaysOutIconTextAndEqualButtonsCentredBelowOrAPlainNoteAtHalfTheScreen) {
    runWith(confirm({OK, No}), [](HWND dialog) {
        EXPECT_EQ(textOf(dialog), L"Confirm");
        const LONG_PTR style = GetWindowLongPtrW(dialog, GWL_STYLE);
        EXPECT_TRUE(style & WS_SYSMENU);
        EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));

        const std::vector<HWND> children = childrenOf(dialog);
        ASSERT_EQ(children.size(), 4u);
        const HWND icon = children[0];
        const HWND text = children[1];
        EXPECT_NE(SendMessageW(icon, STM_GETICON, 0, 0), 0);
        EXPECT_EQ(textOf(text), L"Сохранить изменения?\r\nNO - НЕТ\r\nOK - ДА");
        EXPECT_LT(placeOf(icon).right, placeOf(text).left);

        EXPECT_EQ(textOf(children[2]), L"&No");
        EXPECT_EQ(textOf(children[3]), L"OK");
        EXPECT_EQ(GetFocus(), children[2]);
        const Box left = placeOf(children[2]);
        const Box right = placeOf(children[3]);
        EXPECT_LT(left.right, right.left);
        EXPECT_EQ(left.right - left.left, right.right - right.left);
        EXPECT_EQ(left.top, right.top);
        EXPECT_GT(left.top, std::max(placeOf(text).bottom, placeOf(icon).bottom));
        RECT client{};
        GetClientRect(dialog, &client);
        EXPECT_NEAR(left.left, client.right - right.right, 1);

        RECT frame{};
        GetWindowRect(dialog, &frame);
        EXPECT_NEAR(frame.left + frame.right, GetSystemMetrics(SM_CXSCREEN), 1);
        EXPECT_NEAR(frame.top + frame.bottom, GetSystemMetrics(SM_CYSCREEN), 1);
        press({VK_RETURN});
    });

    // A plain note has no icon, and wraps a long path at half the screen.
    std::string text = "Файл картинки:\n\rC:";
    for (int i = 0; i < 40; ++i) {
        text += "\\Папка";
    }
    runWith(makeDialogModel(text, DialogKind::Plain, {OK}, "Kivo"), [](HWND dialog) {
        EXPECT_EQ(textOf(dialog), L"Kivo");
        const std::vector<HWND> children = childrenOf(dialog);
        ASSERT_EQ(children.size(), 2u) << "text and button only";
        const Box text = placeOf(children[0]);
        EXPECT_LE(text.right - text.left, GetSystemMetrics(SM_CXSCREEN) / 2 + 1);
        press({VK_RETURN});
    });
}

// As the system's own boxes do: title, message and buttons, for a report.
TEST(MessageDialog, CtrlCCopiesTheBox) {
    runWith(confirm({No, OK}), [](HWND) {
        press({'C', VK_CONTROL});
        press({VK_ESCAPE});
    });
    ASSERT_TRUE(OpenClipboard(nullptr));
    // Without text on the clipboard both calls below fail harmlessly.
    const HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const auto* text = static_cast<const wchar_t*>(GlobalLock(data));
    const std::wstring copied = text != nullptr ? text : L"";
    GlobalUnlock(data);
    CloseClipboard();
    const std::wstring line = L"---------------------------\r\n";
    EXPECT_EQ(copied, line + L"Confirm\r\n" + line +
                          L"Сохранить изменения?\r\nNO - НЕТ\r\nOK - ДА\r\n" + line +
                          L"No   OK   \r\n" + line);
}

} // namespace
} // namespace kivo::win32
