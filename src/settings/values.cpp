#include "settings/values.h"

#include <array>

namespace Settings {

std::optional<qint32> toInt(QByteArrayView value) {
    qsizetype i = 0;
    bool negative = false;
    if (!value.isEmpty() && (value[0] == '+' || value[0] == '-')) {
        negative = value[0] == '-';
        i = 1;
    }
    if (i == value.size()) return std::nullopt;
    qint64 magnitude = 0;
    const qint64 limit = negative ? qint64(1) << 31 : (qint64(1) << 31) - 1;
    for (; i < value.size(); ++i) {
        const char c = value[i];
        if (c < '0' || c > '9') return std::nullopt;
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > limit) return std::nullopt;
    }
    return qint32(negative ? -magnitude : magnitude);
}

QByteArray fromInt(qint32 value) { return QByteArray::number(value); }

bool isOn(QByteArrayView value) { return value == "on"; }
QByteArray onOff(bool checked) { return checked ? QByteArrayLiteral("on") : QByteArrayLiteral("off"); }
bool isTrue(QByteArrayView value) { return value == "true"; }
QByteArray trueFalse(bool checked) { return checked ? QByteArrayLiteral("true") : QByteArrayLiteral("false"); }

namespace {
QByteArrayView positiveStyleWord(FontStyle style) {
    switch (style) {
    case FontStyle::Bold: return "fsbold";
    case FontStyle::Italic: return "fsItalic";
    case FontStyle::Underline: return "fsUnderline";
    }
    return {};
}
}  // namespace

QByteArray fontStyleWord(FontStyle style, bool set) {
    const QByteArrayView word = positiveStyleWord(style);
    return set ? word.toByteArray() : '!' + word.toByteArray();
}

bool fontStyleSet(FontStyle style, QByteArrayView value) { return value == positiveStyleWord(style); }

bool isPositiveValue(QByteArrayView value) {
    return isOn(value) || isTrue(value) || fontStyleSet(FontStyle::Bold, value) ||
           fontStyleSet(FontStyle::Italic, value) || fontStyleSet(FontStyle::Underline, value);
}

int rubyDigit(QByteArrayView value) {
    if (value == "3") return 3;
    if (value == "2") return 2;
    return 1;
}

namespace {
// Windows system colour indices 0…30 and the palette role that plays the same part here. Windows
// calls the background of edit panes "window" (Qt's Base) and the face of forms "button face"
// (Qt's Window).
constexpr int kNoRole = -1;
constexpr std::array<int, 31> kSystemRoles{
    QPalette::Button,           // 0 scroll bar
    QPalette::Dark,             // 1 desktop
    QPalette::Highlight,        // 2 active caption
    QPalette::Mid,              // 3 inactive caption
    QPalette::Window,           // 4 menu
    QPalette::Base,             // 5 window
    QPalette::Shadow,           // 6 window frame
    QPalette::WindowText,       // 7 menu text
    QPalette::Text,             // 8 window text
    QPalette::HighlightedText,  // 9 caption text
    QPalette::Button,           // 10 active border
    QPalette::Button,           // 11 inactive border
    QPalette::Mid,              // 12 application workspace
    QPalette::Highlight,        // 13 highlight
    QPalette::HighlightedText,  // 14 highlighted text
    QPalette::Window,           // 15 button face
    QPalette::Dark,             // 16 button shadow
    QPalette::PlaceholderText,  // 17 grey text
    QPalette::ButtonText,       // 18 button text
    QPalette::WindowText,       // 19 inactive caption text
    QPalette::Light,            // 20 button highlight
    QPalette::Shadow,           // 21 3D dark shadow
    QPalette::Midlight,         // 22 3D light
    QPalette::ToolTipText,      // 23 info text
    QPalette::ToolTipBase,      // 24 info background
    kNoRole,                    // 25 (none)
    QPalette::Link,             // 26 hot light
    QPalette::Highlight,        // 27 gradient of the active caption
    QPalette::Mid,              // 28 gradient of the inactive caption
    QPalette::Highlight,        // 29 menu highlight
    QPalette::Window,           // 30 menu bar
};
}  // namespace

std::optional<QPalette::ColorRole> systemColourRole(qint32 value) {
    if (!isSystemColour(value)) return std::nullopt;
    const quint32 bits = quint32(value);
    if ((bits & 0xFFFFFF00u) != 0x80000000u) return std::nullopt;
    const quint32 index = bits & 0xFFu;
    if (index >= kSystemRoles.size() || kSystemRoles[index] == kNoRole) return std::nullopt;
    return QPalette::ColorRole(kSystemRoles[index]);
}

QColor toQColor(qint32 value, const QPalette& palette) {
    if (isSystemColour(value)) {
        const auto role = systemColourRole(value);
        return role ? palette.color(*role) : QColor();
    }
    const quint32 bits = quint32(value);
    return QColor(int(bits & 0xFF), int((bits >> 8) & 0xFF), int((bits >> 16) & 0xFF));
}

qint32 fromQColor(const QColor& colour) {
    const QColor rgb = colour.toRgb();
    return qint32(quint32(rgb.red()) | (quint32(rgb.green()) << 8) | (quint32(rgb.blue()) << 16));
}

}  // namespace Settings
