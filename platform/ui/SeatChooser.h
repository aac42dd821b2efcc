#pragma once

#include "DialogStyle.h"
#include "Dialogs.h"

#include <QElapsedTimer>
#include <QStringList>

class QButtonGroup;
class QGridLayout;
class QLabel;
class QScrollArea;

namespace platform::ui {

class TBlendedBitBtn;

// The seat chooser of a transfer. Mode "0" moves one item: its origin seat is shown and the operator
// picks the destination seat. Mode "1" moves a whole seat: the operator picks one of the origin
// table's occupied seats and a destination seat. Destination seats are one per person of the
// destination table plus the seats already in use there; "+" adds the next one. New seats take the
// origin data's format ("01" when its seats are zero-padded, else "1").
//
// Keyboard: digits pick a seat by number, arrows move the choice, Tab switches between origin and
// destination (mode "1"), "+" adds a seat, Enter confirms once the choice is complete, Escape cancels.
class SeatChooser : public StyledDialog {
    Q_OBJECT
public:
    explicit SeatChooser(const SeatChoiceCall& call, QWidget* parent = nullptr);

    bool wholeSeat() const { return wholeSeat_; }
    QStringList originSeats() const { return originSeats_; }
    QStringList destinationSeats() const { return destinationSeats_; }
    // The chosen seats; in mode "0" the origin seat is the given one.
    QString originSeat() const { return originSeat_; }
    QString destinationSeat() const { return destinationSeat_; }
    bool complete() const;
    // The choices into the call: the destination seat, and in mode "1" the origin seat.
    void writeTo(SeatChoiceCall& call) const;

    TBlendedBitBtn* originButton(const QString& seat) const;
    TBlendedBitBtn* destinationButton(const QString& seat) const;
    TBlendedBitBtn* addSeatButton() const { return addSeat_; }
    TBlendedBitBtn* confirmButton() const { return confirm_; }
    bool originActive() const { return originActive_; }

    // The distinct NRLUGARMESA values of a list's visible records, numbers in numeric order.
    static QStringList seatsOf(const platform::Dataset* list);

public slots:
    void chooseOrigin(const QString& seat);
    void chooseDestination(const QString& seat);
    // Adds and chooses the seat after the highest offered one; returns it (empty at the limit).
    QString addSeat();
    void confirm();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    struct Grid {
        QScrollArea* area = nullptr;
        QGridLayout* layout = nullptr;
        QButtonGroup* group = nullptr;
        QLabel* heading = nullptr;
    };
    Grid makeGrid(const QString& heading, const QString& name);
    TBlendedBitBtn* addButton(Grid& grid, const QString& seat, bool origin);
    void fitHeight(const Grid& grid, int count);
    void setOriginActive(bool active);
    void typeDigit(int digit);
    void moveChoice(int step);
    void refresh();

    bool wholeSeat_;
    int padWidth_ = 0;
    QStringList originSeats_;
    QStringList destinationSeats_;
    QString originSeat_;
    QString destinationSeat_;
    bool originActive_ = false;
    QString typedDigits_;
    QElapsedTimer sinceDigit_;
    Grid origin_;
    Grid destination_;
    TBlendedBitBtn* addSeat_ = nullptr;
    TBlendedBitBtn* confirm_ = nullptr;
};

} // namespace platform::ui
