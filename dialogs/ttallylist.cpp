#include "ttallylist.h"

#include "dialoglook.h"

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>

namespace {

// A number of the window, found by its name.
QLabel* makeNumber(QWidget* parent, const QString& name, const QRect& geometry)
{
    QLabel* number = makeLabel(parent, "", geometry, QStringLiteral("0"));
    number->setObjectName(name);
    return number;
}

QListWidgetItem* tickedItem(const QString& name, bool ticked)
{
    auto* item = new QListWidgetItem(name);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
    return item;
}

} // namespace

Ttallylist::Ttallylist(QString tallyFile, Tally::Report report, QWidget* parent)
    : QWidget(parent, Qt::Dialog),
      tally_(std::move(tallyFile), std::move(report))
{
    giveDialogLook(this, "tallylist", QStringLiteral("Pinfall - Tally List"), {475, 431});

    auto* own = new QGroupBox(QStringLiteral("Your Total Tally"), this);
    own->setGeometry(10, 8, 220, 150);
    const std::array<QString, 5> ownCaptions{QStringLiteral("Total Games:"), QStringLiteral("Your Wins:"),
                                             QStringLiteral("300 Games:"), QStringLiteral("Strikes:"),
                                             QStringLiteral("Average:")};
    for (int k = 1; k <= 6; ++k) {
        const int top = 24 + 24 * (k - 1);
        if (k <= 5)
            makeLabel(own, "", {12, top, 110, 20}, ownCaptions[static_cast<std::size_t>(k - 1)]);
        mylabel[static_cast<std::size_t>(k)] =
            makeNumber(own, QStringLiteral("mylabel_%1").arg(k), {130, top, 80, 20});
    }
    mylabel[6]->hide(); // the sum behind the average

    auto* detail = new QGroupBox(this);
    detail->setGeometry(10, 166, 220, 150);
    label_hisnametop = makeLabel(detail, "label_hisnametop", {8, 6, 204, 20});
    QFont bold = label_hisnametop->font();
    bold.setBold(true);
    label_hisnametop->setFont(bold);
    // The numbers stand clear of the longest caption.
    makeLabel(detail, "", {130, 28, 40, 20}, QStringLiteral("Total"));
    makeLabel(detail, "", {170, 28, 48, 20}, QStringLiteral("Session"));
    makeLabel(detail, "", {8, 50, 118, 20}, QStringLiteral("Number of Games"));
    // Named after the opponent chosen in the list; until then, the row still says what it counts.
    label_hisname = makeLabel(detail, "label_hisname", {8, 74, 118, 20}, QStringLiteral("Their Wins:"));
    makeLabel(detail, "", {8, 98, 110, 20}, QStringLiteral("Your Wins:"));
    makeLabel(detail, "", {8, 122, 110, 20}, QStringLiteral("Neither Won:"));
    for (int k = 1; k <= 8; ++k) {
        const int left = k <= 4 ? 130 : 176;
        const int top = 50 + 24 * ((k - 1) % 4);
        label[static_cast<std::size_t>(k)] =
            makeNumber(detail, QStringLiteral("label_%1").arg(k), {left, top, 40, 20});
    }

    makeLabel(this, "", {10, 322, 220, 18}, QStringLiteral("Players In Current Game"));
    checklist = new QListWidget(this);
    checklist->setObjectName(QStringLiteral("checklist"));
    checklist->setGeometry(10, 340, 220, 82);
    makeLabel(this, "", {245, 8, 220, 18}, QStringLiteral("Players Being Tallied"));
    listbox_tally = new QListWidget(this);
    listbox_tally->setObjectName(QStringLiteral("listbox_tally"));
    listbox_tally->setGeometry(245, 26, 220, 350);

    auto* reset = new QPushButton(QStringLiteral("Reset Tally"), this);
    reset->setGeometry(245, 390, 105, 30);
    auto* done = new QPushButton(QStringLiteral("Done"), this);
    done->setGeometry(360, 390, 105, 30);
    connect(reset, &QPushButton::clicked, this, &Ttallylist::button_resetClick);
    connect(done, &QPushButton::clicked, this, &QWidget::hide);
    connect(checklist, &QListWidget::itemChanged, this,
            [this](QListWidgetItem* item) { checklistClickCheck(checklist->row(item)); });
    connect(listbox_tally, &QListWidget::itemChanged, this,
            [this](QListWidgetItem* item) { listbox_tallyClickCheck(listbox_tally->row(item)); });
    connect(listbox_tally, &QListWidget::currentRowChanged, this, &Ttallylist::listbox_tallyClick);

    connect(&tally_, &Tally::ownTotalsChanged, this, &Ttallylist::showOwnTotals);
    connect(&tally_, &Tally::followedChanged, this, &Ttallylist::showFollowed);
    connect(&tally_, &Tally::opponentsCounted, this, &Ttallylist::showSelectedAgain);
    connect(&tally_, &Tally::playersInGameChanged, this, &Ttallylist::showPlayersInGame);
    showOwnTotals();
    showFollowed();
    showPlayersInGame();
}

QString Ttallylist::shown(const char* name) const
{
    const auto* shownLabel = findChild<QLabel*>(QString::fromLatin1(name));
    return shownLabel != nullptr ? shownLabel->text() : QString();
}

void Ttallylist::showOwnTotals()
{
    for (std::size_t k = 0; k < kOwnTotalsInOrder.size(); ++k)
        mylabel[k + 1]->setText((tally_.own().*kOwnTotalsInOrder[k]).text());
}

// Takes out the items of players no longer followed and adds the newly followed ones, so the
// other items keep their selection and ticks.
void Ttallylist::showFollowed()
{
    const QList<OpponentTally>& followed = tally_.opponents();
    const QSignalBlocker quiet(listbox_tally);
    for (int row = 0; row < listbox_tally->count();) {
        if (row < followed.size() && listbox_tally->item(row)->text() == followed[row].name)
            ++row;
        else
            delete listbox_tally->takeItem(row);
    }
    for (auto row = static_cast<qsizetype>(listbox_tally->count()); row < followed.size(); ++row)
        listbox_tally->addItem(tickedItem(followed[row].name, true));
}

void Ttallylist::showPlayersInGame()
{
    const QSignalBlocker quiet(checklist);
    checklist->clear();
    for (const QString& name : tally_.playersInGame())
        checklist->addItem(tickedItem(name, tally_.isFollowed(name)));
}

void Ttallylist::showSelectedAgain()
{
    if (listbox_tally->currentRow() >= 0)
        listbox_tallyClick(listbox_tally->currentRow());
}

void Ttallylist::checklistClickCheck(int row)
{
    if (row >= 0 && row < tally_.playersInGame().size())
        tally_.follow(tally_.playersInGame()[row]);
}

void Ttallylist::listbox_tallyClickCheck(int row)
{
    QListWidgetItem* item = listbox_tally->item(row);
    if (item == nullptr || item->checkState() == Qt::Checked || row >= tally_.opponents().size())
        return;
    const QString name = tally_.opponents()[row].name;
    const auto answer = QMessageBox::question(this, windowTitle(),
                                              QStringLiteral("This will delete ") + name +
                                                  QStringLiteral("'s Tally, Are you want to delete it?"),
                                              QMessageBox::Yes | QMessageBox::No);
    if (answer == QMessageBox::Yes) {
        tally_.drop(row);
        return;
    }
    const QSignalBlocker quiet(listbox_tally);
    item->setCheckState(Qt::Checked);
}

void Ttallylist::listbox_tallyClick(int row)
{
    if (row < 0 || row >= tally_.opponents().size())
        return;
    const OpponentTally& opponent = tally_.opponents()[row];
    const std::size_t perColumn = kGamesTogetherInOrder.size();
    for (std::size_t k = 0; k < perColumn; ++k) {
        label[k + 1]->setText((opponent.allTime.*kGamesTogetherInOrder[k]).text());
        label[k + 1 + perColumn]->setText((opponent.session.*kGamesTogetherInOrder[k]).text());
    }
    label_hisname->setText(opponent.name + QStringLiteral(" Wins:"));
    label_hisnametop->setText(opponent.name + QStringLiteral("'s Tally"));
}

void Ttallylist::button_resetClick()
{
    if (QMessageBox::question(this, windowTitle(),
                              QStringLiteral("Are you sure you want to reset the Tally?"),
                              QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    tally_.reset();
    for (int k = 1; k <= 8; ++k)
        label[static_cast<std::size_t>(k)]->setText(QStringLiteral("0"));
}
