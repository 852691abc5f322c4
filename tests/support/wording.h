#pragma once
// Slips of the pen that a caption or a message must not carry: the wrong kanji 斑 for 班 (input
// group), corner brackets or parentheses whose halves differ in width, a doubled opening bracket, a
// space just inside an opening bracket, and a particle repeated across a line break ("を\nを").
#include <QRegularExpression>
#include <QStringList>

namespace Testing {

inline QStringList wordingFaults(const QString& text) {
    static const QRegularExpression mixedParentheses(QStringLiteral("（[^（）()]*\\)|\\([^（）()]*）"));
    static const QRegularExpression spaceAfterBracket(QStringLiteral("[「『][ 　]"));
    static const QRegularExpression repeatedAcrossBreak(QStringLiteral("([をがのにはでとも])\\n\\1"));
    QStringList faults;
    if (text.contains(u'斑')) faults << QStringLiteral("斑 for 班");
    if (text.contains(u'｢') || text.contains(u'｣')) faults << QStringLiteral("half-width corner bracket");
    if (text.contains(mixedParentheses)) faults << QStringLiteral("parentheses of mixed widths");
    if (text.contains(QStringLiteral("「「")) || text.contains(QStringLiteral("（（")))
        faults << QStringLiteral("doubled opening bracket");
    if (text.contains(spaceAfterBracket)) faults << QStringLiteral("space after an opening bracket");
    if (text.contains(repeatedAcrossBreak)) faults << QStringLiteral("particle repeated across a line break");
    return faults;
}

}  // namespace Testing
