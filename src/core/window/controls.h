#pragma once

#include "core/desktop.h"
#include "core/geometry.h"

#include <array>
#include <cstdint>
#include <optional>

namespace kivo {

// Design-time layout of the window.
inline constexpr WindowBounds kDesignWindow{210, 119, 280, 279};
inline constexpr Point kDesignPanelPosition{102, 96};
inline constexpr Size kPanelSize{80, 88};

// The window's controls, named as the handlers name them.
enum class Control { Image1, Image2, Panel1, Label1, SpeedButton1, SpeedButton3, SpeedButton2 };

enum class ControlKind {
    Picture, // sizes itself to its picture; reports the mouse
    Panel,   // raised, with a bevel two pixels wide
    Label,
    Button, // a push button that never takes the keyboard focus
};

struct Colour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    bool operator==(const Colour&) const = default;
};

struct ControlFont {
    const char* face = nullptr;
    int pixelHeight = 0;   // the characters' height, not the cell's
    bool cyrillic = false; // asks for the Cyrillic character set
    bool operator==(const ControlFont&) const = default;
};

struct ControlSpec {
    Control control;
    ControlKind kind;
    std::optional<Control> parent; // none: the window itself
    WindowBounds bounds;           // relative to the parent; a picture's is its design size
    const char* caption = "";
    const char* tooltip = nullptr;
    ControlFont font{};
    Colour textColour{};
    std::optional<CursorShape> cursor; // none: the parent's
};

inline constexpr ControlFont kLabelFont{"Times New Roman", 16, true};
inline constexpr ControlFont kButtonFont{"Times New Roman", 13, false};
inline constexpr Colour kNavy{0, 0, 128};
inline constexpr Colour kBlue{0, 0, 255};

// Every control, in the order of creation: each lies over the ones before it.
inline constexpr std::array<ControlSpec, 7> kControls{{
    {Control::Image1,
     ControlKind::Picture,
     std::nullopt,
     {0, 0, 280, 280},
     "",
     " Двойной щелчок - закрыть, правая - поставить/снять поверх всех, левая - переместить   ",
     {},
     {},
     CursorShape::Hand},
    {Control::Image2,
     ControlKind::Picture,
     std::nullopt,
     {0, 0, 28, 28},
     "",
     " СТАРТ ",
     {},
     {},
     CursorShape::Hand},
    // The panel and its label keep the arrow whatever cursor the window shows.
    {Control::Panel1,
     ControlKind::Panel,
     std::nullopt,
     {kDesignPanelPosition.x, kDesignPanelPosition.y, kPanelSize.width, kPanelSize.height},
     "",
     nullptr,
     {},
     {},
     CursorShape::Arrow},
    {Control::Label1,
     ControlKind::Label,
     Control::Panel1,
     {10, 1, 60, 19},
     "Настрой:",
     nullptr,
     kLabelFont,
     kNavy,
     std::nullopt},
    {Control::SpeedButton1,
     ControlKind::Button,
     Control::Panel1,
     {4, 20, 70, 20},
     "Картинка",
     nullptr,
     kButtonFont,
     kBlue,
     CursorShape::Hand},
    {Control::SpeedButton3,
     ControlKind::Button,
     Control::Panel1,
     {4, 40, 70, 20},
     "Форма",
     nullptr,
     kButtonFont,
     kBlue,
     CursorShape::Hand},
    {Control::SpeedButton2,
     ControlKind::Button,
     Control::Panel1,
     {4, 60, 70, 22},
     "Проверить",
     nullptr,
     kButtonFont,
     kBlue,
     CursorShape::Hand},
}};

} // namespace kivo
