#include "text/kana.h"

namespace Text {
namespace {

// Half-width katakana U+FF61 … U+FF9F and their full-width forms.
constexpr char16_t kFull[] = u"。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワン゛゜";
static_assert(sizeof(kFull) / sizeof(char16_t) - 1 == 0xFF9F - 0xFF61 + 1);

// Full-width katakana that a voiced (゛) or semi-voiced (゜) mark turns into.
char16_t voiced(char16_t b, bool semi) {
    const bool haRow = b >= u'ハ' && b <= u'ホ' && (b - u'ハ') % 3 == 0;
    if (semi) return haRow ? char16_t(b + 2) : 0;
    if (b >= u'カ' && b <= u'チ' && (b - u'カ') % 2 == 0) return char16_t(b + 1);
    if (b == u'ツ' || b == u'テ' || b == u'ト' || haRow) return char16_t(b + 1);
    if (b == u'ウ') return u'ヴ';
    return 0;
}

}  // namespace

QString ToFullWidth(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c >= 0xFF61 && c <= 0xFF9F) {
            const char16_t full = kFull[c - 0xFF61];
            if (i + 1 < text.size() && (text[i + 1] == u'ﾞ' || text[i + 1] == u'ﾟ')) {
                if (const char16_t v = voiced(full, text[i + 1] == u'ﾟ')) {
                    out += QChar(v);
                    ++i;
                    continue;
                }
            }
            out += QChar(full);
        } else if (c >= 0x21 && c <= 0x7E) {
            out += QChar(char16_t(c - 0x21 + 0xFF01));
        } else if (c == u' ') {
            out += QChar(u'　');
        } else {
            out += QChar(c);
        }
    }
    return out;
}

QString ToHiragana(const QString& text) {
    QString out = text;
    for (QChar& ch : out) {
        const char16_t c = ch.unicode();
        if (c >= u'ァ' && c <= u'ヶ') ch = QChar(char16_t(c - 0x60));
    }
    return out;
}

QString ToHalfWidthKatakana(const QString& text) {
    QString out;
    for (QChar ch : text) {
        char16_t c = ch.unicode();
        if (c >= u'ぁ' && c <= u'ゖ') c = char16_t(c + 0x60);  // to katakana first
        bool found = false;
        for (char16_t h = 0xFF61; h <= 0xFF9F && !found; ++h) {
            const char16_t full = kFull[h - 0xFF61];
            if (full == c) {
                out += QChar(h);
                found = true;
            } else if (voiced(full, false) == c) {
                out += QChar(h);
                out += QChar(u'ﾞ');
                found = true;
            } else if (voiced(full, true) == c) {
                out += QChar(h);
                out += QChar(u'ﾟ');
                found = true;
            }
        }
        if (!found) out += QChar(c);
    }
    return out;
}

bool IsKanaOnly(const QString& text) {
    if (text.isEmpty()) return false;
    for (QChar ch : text) {
        const char16_t c = ch.unicode();
        const bool kana = (c >= 0x3041 && c <= 0x309F) || (c >= 0x30A0 && c <= 0x30FF) || (c >= 0xFF66 && c <= 0xFF9F);
        if (!kana) return false;
    }
    return true;
}

}  // namespace Text
