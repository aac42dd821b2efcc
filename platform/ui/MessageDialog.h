#pragma once

#include "DialogStyle.h"
#include "Dialogs.h"

class QLabel;

namespace platform::ui {

class TBlendedBitBtn;

// The shared message: information ("OK"), question ("Sim"/"Não") or error ("OK" under a drawn error
// sign). Enter presses the default button, Escape answers no to a question and closes the others.
class MessageDialog : public StyledDialog {
    Q_OBJECT
public:
    enum Kind { Information = 0, Question = 1, Error = 3 };

    explicit MessageDialog(const MensagemCall& call, QWidget* parent = nullptr);

    Kind kind() const { return kind_; }
    // Once closed: a question's answer; information and errors are acknowledged (true).
    bool answer() const;
    TBlendedBitBtn* defaultButton() const { return default_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    Kind kind_;
    TBlendedBitBtn* default_ = nullptr;
};

} // namespace platform::ui
