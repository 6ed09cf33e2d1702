#include "core/window/message_dialog.h"

#include <gtest/gtest.h>

namespace kivo {
namespace {

using R = ModalResult;

TEST(DialogModel, KindsGiveTitlesAndIcons) {
    const struct {
        DialogKind kind;
        const char* title;
        DialogIcon icon;
    } cases[] = {{DialogKind::Error, "Error", DialogIcon::Stop},
                 {DialogKind::Information, "Information", DialogIcon::Information},
                 {DialogKind::Confirmation, "Confirm", DialogIcon::Question},
                 {DialogKind::Warning, "Warning", DialogIcon::Warning},
                 {DialogKind::Plain, "Kivo", DialogIcon::None}};
    for (const auto& c : cases) {
        const DialogModel model = makeDialogModel("x", c.kind, {R::OK}, "Kivo");
        EXPECT_EQ(model.title, c.title);
        EXPECT_EQ(model.icon, c.icon) << c.title;
    }
}

// Whatever the caller's order, the buttons come in a fixed one; the leftmost has the focus, Esc
// gives Cancel when offered, else No, else OK, and the close box always Cancel.
TEST(DialogModel, ButtonsFollowTheFixedOrderAndEnterEscapeAndTheCloseBoxTheirRules) {
    const struct {
        std::vector<R> set;
        std::vector<std::string> captions;
        R enter;
        R escape;
    } cases[] = {
        {{R::OK, R::No}, {"&No", "OK"}, R::No, R::No},
        {{R::Abort, R::OK}, {"OK", "&Abort"}, R::OK, R::OK},
        {{R::All, R::No, R::Yes}, {"&Yes", "&No", "&All"}, R::Yes, R::No},
        {{R::OK}, {"OK"}, R::OK, R::OK},
        {{R::Cancel, R::No, R::OK}, {"&No", "OK", "Cancel"}, R::No, R::Cancel},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.captions));
        const DialogModel model = makeDialogModel("", DialogKind::Confirmation, c.set, "");
        std::vector<std::string> captions;
        for (const auto& button : model.buttons) {
            captions.push_back(button.caption);
        }
        EXPECT_EQ(captions, c.captions);
        EXPECT_EQ(model.buttons.at(model.focusIndex).result, c.enter);
        EXPECT_EQ(model.escapeResult, c.escape);
        EXPECT_EQ(model.closeResult, R::Cancel);
    }
}

TEST(DialogModel, MnemonicsInEitherCaseOnlyForButtonsShown) {
    const DialogModel model =
        makeDialogModel("", DialogKind::Confirmation, {R::Yes, R::No, R::All}, "");
    EXPECT_EQ(resultForMnemonic(model, 'n'), R::No);
    EXPECT_EQ(resultForMnemonic(model, 'Y'), R::Yes);
    EXPECT_EQ(resultForMnemonic(model, 'a'), R::All);
    EXPECT_EQ(resultForMnemonic(model, 'o'), std::nullopt);
    const DialogModel noOk = makeDialogModel("", DialogKind::Confirmation, {R::No, R::OK}, "");
    EXPECT_EQ(resultForMnemonic(noOk, 'y'), std::nullopt);
    EXPECT_EQ(resultForMnemonic(noOk, 'O'), std::nullopt);
}

TEST(DialogModel, LineBreakPairsBecomeSingleBreaks) {
    EXPECT_EQ(displayText("a\n\rb"), "a\nb");
    EXPECT_EQ(displayText("форму:\n\r\n\rYes"), "форму:\n\nYes");
    EXPECT_EQ(displayText("a\r\nb\rc"), "a\nb\nc");
}

TEST(ShortenedText, CutsTheMiddleOfTheLongestLineWithoutSplittingACharacter) {
    const std::string exact(kShownCharacters, 'a');
    const std::string half(kShownCharacters / 2, 'a');
    EXPECT_EQ(shortenedText(exact), exact);
    EXPECT_EQ(shortenedText(exact + "b"), half + "…" + half.substr(2) + "b");
    std::string cyrillic;
    for (std::size_t i = 0; i < kShownCharacters + 5; ++i) {
        cyrillic += "ж";
    }
    EXPECT_EQ(shortenedText(cyrillic), cyrillic.substr(0, kShownCharacters) + "…" +
                                           cyrillic.substr(0, kShownCharacters - 2));
    const DialogModel model =
        makeDialogModel(exact + exact, DialogKind::Plain, {ModalResult::OK}, "kivo");
    EXPECT_EQ(model.text, half + "…" + half.substr(1));
    // The lines around a long path stay whole.
    const std::string path = "/" + std::string(379, 'p');
    const std::string question = shortenedText("Файл картинки:\n\r" + path + "\n\r" + "имеется." +
                                               "\n\r" + "Обновить файл?" + "\n\r");
    EXPECT_TRUE(question.starts_with("Файл картинки:\n\r/ppp"));
    EXPECT_TRUE(question.ends_with("ppp\n\rимеется.\n\rОбновить файл?\n\r")) << question;
}

TEST(ErrorBoxDisplayText, BreaksEveryLongRunWithoutABlank) {
    const std::string run(kLongestUnbrokenRun, 'p');
    EXPECT_EQ(errorBoxDisplayText("Cannot open file " + run + " x"),
              "Cannot open file " + run + " x");
    EXPECT_EQ(errorBoxDisplayText(run + run + "q"), run + "\n" + run + "\nq");
    EXPECT_EQ(errorBoxDisplayText("ж" + run), "ж" + run.substr(1) + "\np");
}

} // namespace
} // namespace kivo
