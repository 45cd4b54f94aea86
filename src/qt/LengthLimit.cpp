#include "qt/LengthLimit.h"

#include <algorithm>

namespace ombrix::qt {

LengthLimit::LengthLimit(qsizetype limit, QLineEdit* edit)
    : QValidator(edit), limit_(limit), shown_(edit->text().size()) {
    connect(edit, &QLineEdit::textChanged, this, [this](const QString& text) { shown_ = text.size(); });
}

void LengthLimit::setProgramText(QLineEdit* edit, const QString& text) {
    if (auto* limit = edit->findChild<LengthLimit*>(QString(), Qt::FindDirectChildrenOnly))
        limit->shown_ = std::max(limit->shown_, text.size());
    edit->setText(text);
}

QValidator::State LengthLimit::validate(QString& input, int& pos) const {
    const qsizetype allowed = std::max(limit_, shown_);
    if (input.size() <= allowed) return Acceptable;
    // Drop the newest characters: those typed or pasted just before the cursor.
    const qsizetype excess = input.size() - allowed;
    const qsizetype from = std::clamp<qsizetype>(pos - excess, 0, input.size() - excess);
    input.remove(from, excess);
    pos = static_cast<int>(from);
    return Acceptable;
}

} // namespace ombrix::qt
