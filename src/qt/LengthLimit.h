#pragma once
// The typing limit of an edit field: the user can't type or paste past the limit (a paste is
// cut to fit), but a longer text set by the program stays whole and can still be shortened.
// QLineEdit's own maximum length would also cut the program's texts.

#include <QLineEdit>
#include <QValidator>

namespace ombrix::qt {

class LengthLimit : public QValidator {
    Q_OBJECT
  public:
    LengthLimit(qsizetype limit, QLineEdit* edit);
    State validate(QString& input, int& pos) const override;
    // Sets a text from the program: whole, whatever its length (QLineEdit validates it too).
    static void setProgramText(QLineEdit* edit, const QString& text);

  private:
    qsizetype limit_;
    // The length of the text before the edit being checked (the line edit already holds the new one).
    qsizetype shown_ = 0;
};

} // namespace ombrix::qt
