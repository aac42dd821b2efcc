#include "SeatChooser.h"

#include "BlendedButton.h"
#include "platform/Dataset.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>

namespace platform::ui {
namespace {

constexpr int Columns = 6;
constexpr int VisibleRows = 3;
constexpr int KeyWidth = 76;
constexpr int KeyHeight = 64;
constexpr int Spacing = 8;
constexpr int ScrollBarWidth = 28;
constexpr int LastSeat = 999;      // NRLUGARMESA holds three characters
constexpr int DigitPauseMs = 1500; // digits typed closer than this make one number
const QString SeatField = QStringLiteral("NRLUGARMESA");

// A seat made of digits only ("01", "12") is a number; its value, or -1 for a name.
int seatNumber(const QString& seat) {
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,9}$"));
    return digits.match(seat).hasMatch() ? seat.toInt() : -1;
}

// Numbers first, in numeric order ("2" before "10"), then the other names in text order.
bool seatBefore(const QString& a, const QString& b) {
    const int na = seatNumber(a);
    const int nb = seatNumber(b);
    if (na >= 0 && nb >= 0)
        return na != nb ? na < nb : a < b;
    if ((na >= 0) != (nb >= 0))
        return na >= 0;
    return a < b;
}

// The offered seat that is `wanted`: the same text, else the same number ("1" finds "01").
QString findSeat(const QStringList& seats, const QString& wanted) {
    QString w = wanted.trimmed();
    if (w.isEmpty())
        return {};
    if (seats.contains(w))
        return w;
    const int n = seatNumber(w);
    if (n < 0)
        return {};
    for (const QString& s : seats)
        if (seatNumber(s) == n)
            return s;
    return {};
}

int highestNumber(const QStringList& seats) {
    int highest = 0;
    for (const QString& s : seats)
        highest = std::max(highest, seatNumber(s));
    return highest;
}

// The width of zero-padded seats among `seats`; 0 when they are plain numbers; -1 when none is a number.
int paddingOf(const QStringList& seats) {
    int width = -1;
    for (const QString& s : seats) {
        if (seatNumber(s) < 0)
            continue;
        width = std::max(width, 0);
        if (s.size() > 1 && s.startsWith(u'0'))
            width = std::max(width, int(s.size()));
    }
    return width;
}

} // namespace

QStringList SeatChooser::seatsOf(const platform::Dataset* list) {
    QStringList seats;
    if (!list)
        return seats;
    const int field = list->fieldIndex(SeatField);
    if (field < 0)
        return seats;
    for (int row = 0; row < list->recordCount(); ++row) {
        const Record& record = list->recordAt(row);
        if (field >= record.size())
            continue;
        const QString seat = record.at(field).toString().trimmed();
        if (!seat.isEmpty() && !seats.contains(seat))
            seats << seat;
    }
    std::sort(seats.begin(), seats.end(), seatBefore);
    return seats;
}

SeatChooser::SeatChooser(const SeatChoiceCall& call, QWidget* parent)
    : StyledDialog(parent), wholeSeat_(call.mode.trimmed() == QLatin1String("1")) {
    setObjectName(QStringLiteral("seatChooser"));
    const QString title = QStringLiteral("Mesa %1 → Mesa %2").arg(call.originTable, call.destinationTable);
    setWindowTitle(title);

    // Seats the dialog makes up follow the origin data; the destination's only when the origin has none.
    QStringList fromOrigin = seatsOf(call.origin);
    if (!call.originSeat.trimmed().isEmpty())
        fromOrigin << call.originSeat.trimmed();
    const QStringList used = seatsOf(call.destination);
    padWidth_ = paddingOf(fromOrigin);
    if (padWidth_ < 0)
        padWidth_ = std::max(paddingOf(used), 0);

    bool ok = false;
    int people = call.destinationPeople.trimmed().toInt(&ok);
    if (!ok || people < 1)
        people = 1;
    people = std::min(people, LastSeat);
    for (int n = 1; n <= people; ++n)
        destinationSeats_ << QString::number(n).rightJustified(padWidth_, u'0');
    for (const QString& seat : used) {
        const QString same = findSeat(destinationSeats_, seat);
        if (same.isEmpty())
            destinationSeats_ << seat;
        else // a seat in use keeps the text the data has
            destinationSeats_.replace(destinationSeats_.indexOf(same), seat);
    }
    std::sort(destinationSeats_.begin(), destinationSeats_.end(), seatBefore);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 24);
    layout->setSpacing(10);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    QLabel* heading = style::label(title, QStringLiteral("title"), 24, style::accent(), this);
    heading->setTextFormat(Qt::PlainText);
    layout->addWidget(heading);

    if (wholeSeat_) {
        originSeats_ = seatsOf(call.origin);
        origin_ = makeGrid(QStringLiteral("Lugar de origem"), QStringLiteral("origin"));
        for (const QString& seat : originSeats_)
            addButton(origin_, seat, true);
        fitHeight(origin_, int(originSeats_.size()));
        layout->addWidget(origin_.heading);
        layout->addWidget(origin_.area);
        originSeat_ = findSeat(originSeats_, call.originSeat);
        if (originSeat_.isEmpty() && originSeats_.size() == 1)
            originSeat_ = originSeats_.first();
    } else {
        originSeat_ = call.originSeat;
        auto* row = new QHBoxLayout;
        row->addWidget(style::label(QStringLiteral("Lugar de origem:"), QStringLiteral("originHeading"), 18,
                                    style::ink(), this));
        QLabel* seat =
            style::label(call.originSeat.trimmed().isEmpty() ? QStringLiteral("—") : call.originSeat,
                         QStringLiteral("originSeat"), 22, style::accent(), this);
        seat->setTextFormat(Qt::PlainText);
        row->addWidget(seat);
        row->addStretch();
        layout->addLayout(row);
    }

    destination_ = makeGrid(QStringLiteral("Lugar de destino"), QStringLiteral("destination"));
    for (const QString& seat : destinationSeats_)
        addButton(destination_, seat, false);
    fitHeight(destination_, int(destinationSeats_.size()));
    layout->addWidget(destination_.heading);
    layout->addWidget(destination_.area);
    destinationSeat_ = findSeat(destinationSeats_, call.destinationSeat);

    auto* actions = new QHBoxLayout;
    actions->setSpacing(10);
    addSeat_ = style::button(QStringLiteral("+"), QStringLiteral("addSeat"), style::accent(), this, 30);
    addSeat_->setFixedSize(KeyWidth, KeyHeight);
    addSeat_->setToolTip(QStringLiteral("Mais um lugar"));
    connect(addSeat_, &QPushButton::clicked, this, [this] { addSeat(); });
    actions->addWidget(addSeat_);
    actions->addStretch();
    TBlendedBitBtn* cancel =
        style::button(QStringLiteral("Cancelar"), QStringLiteral("cancel"), style::accent(), this, 22);
    confirm_ =
        style::button(QStringLiteral("Confirmar"), QStringLiteral("confirm"), style::confirm(), this, 22);
    for (TBlendedBitBtn* b : {cancel, confirm_}) {
        b->setFixedSize(150, KeyHeight);
        actions->addWidget(b);
    }
    confirm_->setDefault(true);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(confirm_, &QPushButton::clicked, this, &SeatChooser::confirm);
    layout->addLayout(actions);

    originActive_ = wholeSeat_ && originSeat_.isEmpty();
    refresh();
}

SeatChooser::Grid SeatChooser::makeGrid(const QString& heading, const QString& name) {
    Grid grid;
    grid.heading = style::label(heading, name + QStringLiteral("Heading"), 18, style::ink(), this);
    grid.area = new QScrollArea(this);
    grid.area->setObjectName(name + QStringLiteral("Seats"));
    grid.area->setFrameShape(QFrame::NoFrame);
    grid.area->setFocusPolicy(Qt::NoFocus);
    grid.area->setWidgetResizable(true);
    grid.area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // A scroll bar a finger can drag.
    grid.area->verticalScrollBar()->setStyleSheet(
        QStringLiteral("QScrollBar:vertical { width: %1px; background: white; margin: 0; }"
                       "QScrollBar::handle:vertical { background: rgb(204,91,44); min-height: 48px;"
                       " border-radius: 8px; margin: 0 4px; }"
                       "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
                       "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }")
            .arg(ScrollBarWidth));
    auto* inner = new QWidget(grid.area);
    inner->setObjectName(name + QStringLiteral("SeatGrid"));
    inner->setAutoFillBackground(true);
    grid.layout = new QGridLayout(inner);
    grid.layout->setContentsMargins(0, 0, 0, 0);
    grid.layout->setSpacing(Spacing);
    grid.layout->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    grid.area->setWidget(inner);
    grid.area->setFixedWidth(Columns * KeyWidth + (Columns - 1) * Spacing + Spacing + ScrollBarWidth);
    grid.group = new QButtonGroup(this);
    grid.group->setExclusive(true);
    return grid;
}

TBlendedBitBtn* SeatChooser::addButton(Grid& grid, const QString& seat, bool origin) {
    TBlendedBitBtn* b =
        style::button(seat, (origin ? QStringLiteral("seatOrig_") : QStringLiteral("seatDest_")) + seat,
                      style::accent(), grid.area->widget(), 26);
    b->setCheckable(true);
    b->setFixedSize(KeyWidth, KeyHeight);
    const int index = int(grid.group->buttons().size());
    grid.layout->addWidget(b, index / Columns, index % Columns);
    grid.group->addButton(b);
    connect(b, &QPushButton::clicked, this, [this, seat, origin] {
        setOriginActive(origin);
        if (origin)
            chooseOrigin(seat);
        else
            chooseDestination(seat);
    });
    return b;
}

void SeatChooser::fitHeight(const Grid& grid, int count) {
    const int rows = std::clamp((count + Columns - 1) / Columns, 1, VisibleRows);
    grid.area->setFixedHeight(rows * KeyHeight + (rows - 1) * Spacing);
}

TBlendedBitBtn* SeatChooser::originButton(const QString& seat) const {
    if (!origin_.area)
        return nullptr;
    return origin_.area->widget()->findChild<TBlendedBitBtn*>(QStringLiteral("seatOrig_") + seat);
}

TBlendedBitBtn* SeatChooser::destinationButton(const QString& seat) const {
    return destination_.area->widget()->findChild<TBlendedBitBtn*>(QStringLiteral("seatDest_") + seat);
}

bool SeatChooser::complete() const {
    return !destinationSeat_.isEmpty() && (!wholeSeat_ || !originSeat_.isEmpty());
}

void SeatChooser::writeTo(SeatChoiceCall& call) const {
    if (wholeSeat_)
        call.originSeat = originSeat_;
    call.destinationSeat = destinationSeat_;
}

void SeatChooser::chooseOrigin(const QString& seat) {
    if (!wholeSeat_ || !originSeats_.contains(seat))
        return;
    originSeat_ = seat;
    refresh();
}

void SeatChooser::chooseDestination(const QString& seat) {
    if (!destinationSeats_.contains(seat))
        return;
    destinationSeat_ = seat;
    refresh();
}

QString SeatChooser::addSeat() {
    const int highest = highestNumber(destinationSeats_);
    if (highest >= LastSeat)
        return {};
    QString seat = QString::number(highest + 1).rightJustified(padWidth_, u'0');
    destinationSeats_ << seat;
    addButton(destination_, seat, false);
    fitHeight(destination_, int(destinationSeats_.size()));
    setOriginActive(false);
    chooseDestination(seat);
    return seat;
}

void SeatChooser::confirm() {
    if (complete())
        accept();
}

void SeatChooser::setOriginActive(bool active) {
    originActive_ = wholeSeat_ && active;
    typedDigits_.clear();
    refresh();
}

void SeatChooser::refresh() {
    auto sync = [](const Grid& grid, const QString& chosen, bool active) {
        if (!grid.area)
            return;
        // An exclusive group cannot show "none chosen"; it is lifted while the buttons are set.
        grid.group->setExclusive(false);
        for (QAbstractButton* b : grid.group->buttons()) {
            const bool on = b->text() == chosen;
            b->setChecked(on);
            if (on)
                grid.area->ensureWidgetVisible(b, 0, 0);
        }
        grid.group->setExclusive(true);
        QPalette p = grid.heading->palette();
        p.setColor(QPalette::WindowText, active ? style::accent() : style::ink());
        grid.heading->setPalette(p);
    };
    sync(origin_, originSeat_, originActive_);
    sync(destination_, destinationSeat_, !originActive_);
    addSeat_->setEnabled(highestNumber(destinationSeats_) < LastSeat);
    confirm_->setEnabled(complete());
}

void SeatChooser::typeDigit(int digit) {
    if (!sinceDigit_.isValid() || sinceDigit_.elapsed() > DigitPauseMs)
        typedDigits_.clear();
    sinceDigit_.start();
    const QStringList& seats = originActive_ ? originSeats_ : destinationSeats_;
    // "1" then "2" picks seat 12 when there is one, else seat 2.
    typedDigits_ += QString::number(digit);
    QString seat = findSeat(seats, typedDigits_);
    if (seat.isEmpty()) {
        typedDigits_ = QString::number(digit);
        seat = findSeat(seats, typedDigits_);
    }
    if (seat.isEmpty())
        return;
    if (originActive_)
        chooseOrigin(seat);
    else
        chooseDestination(seat);
}

void SeatChooser::moveChoice(int step) {
    const QStringList& seats = originActive_ ? originSeats_ : destinationSeats_;
    if (seats.isEmpty())
        return;
    const QString& current = originActive_ ? originSeat_ : destinationSeat_;
    const qsizetype at = seats.indexOf(current);
    const qsizetype next = at < 0 ? 0 : std::clamp<qsizetype>(at + step, 0, seats.size() - 1);
    typedDigits_.clear();
    if (originActive_)
        chooseOrigin(seats.at(next));
    else
        chooseDestination(seats.at(next));
}

void SeatChooser::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        typeDigit(key - Qt::Key_0);
        return;
    }
    switch (key) {
    case Qt::Key_Left:
        moveChoice(-1);
        return;
    case Qt::Key_Right:
        moveChoice(1);
        return;
    case Qt::Key_Up:
        moveChoice(-Columns);
        return;
    case Qt::Key_Down:
        moveChoice(Columns);
        return;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        setOriginActive(!originActive_);
        return;
    case Qt::Key_Plus:
        addSeat();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        confirm();
        return;
    default:
        StyledDialog::keyPressEvent(event); // Escape cancels
    }
}

bool SeatChooser::focusNextPrevChild(bool) {
    // Tab switches between origin and destination instead of moving the focus.
    return false;
}

} // namespace platform::ui
