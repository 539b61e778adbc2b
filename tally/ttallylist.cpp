#include "ttallylist.h"

#include "dialoglook.h"
#include "lzrw1.h"

#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>

namespace {

QLabel* makeLabel(QWidget* parent, const QString& text, const QRect& geometry, const QString& name = {})
{
    auto* label = new QLabel(text, parent);
    label->setGeometry(geometry);
    if (!name.isEmpty())
        label->setObjectName(name);
    return label;
}

QListWidgetItem* tickedItem(const QString& name, bool ticked)
{
    auto* item = new QListWidgetItem(name);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
    return item;
}

} // namespace

Ttallylist::Ttallylist(QString tallyFile, std::function<void(const QString&)> report, QWidget* parent)
    : QWidget(parent, Qt::Dialog),
      tallyFile_(std::move(tallyFile)),
      report_(std::move(report))
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
            makeLabel(own, ownCaptions[static_cast<std::size_t>(k - 1)], {12, top, 110, 20});
        mylabel[static_cast<std::size_t>(k)] =
            makeLabel(own, QStringLiteral("0"), {130, top, 80, 20}, QStringLiteral("mylabel_%1").arg(k));
    }
    mylabel[6]->hide(); // the sum behind the average

    auto* detail = new QGroupBox(this);
    detail->setGeometry(10, 166, 220, 150);
    label_hisnametop = makeLabel(detail, QString(), {8, 6, 204, 20}, QStringLiteral("label_hisnametop"));
    QFont bold = label_hisnametop->font();
    bold.setBold(true);
    label_hisnametop->setFont(bold);
    makeLabel(detail, QStringLiteral("Total"), {120, 28, 45, 20});
    makeLabel(detail, QStringLiteral("Session"), {166, 28, 50, 20});
    makeLabel(detail, QStringLiteral("Number of Games"), {8, 50, 110, 20});
    label_hisname = makeLabel(detail, QString(), {8, 74, 110, 20}, QStringLiteral("label_hisname"));
    makeLabel(detail, QStringLiteral("Your Wins:"), {8, 98, 110, 20});
    makeLabel(detail, QStringLiteral("Neither Won:"), {8, 122, 110, 20});
    for (int k = 1; k <= 8; ++k) {
        const int left = k <= 4 ? 120 : 166;
        const int top = 50 + 24 * ((k - 1) % 4);
        label[static_cast<std::size_t>(k)] =
            makeLabel(detail, QStringLiteral("0"), {left, top, 45, 20}, QStringLiteral("label_%1").arg(k));
    }

    makeLabel(this, QStringLiteral("Players In Current Game"), {10, 322, 220, 18});
    checklist = new QListWidget(this);
    checklist->setObjectName(QStringLiteral("checklist"));
    checklist->setGeometry(10, 340, 220, 82);
    makeLabel(this, QStringLiteral("Players Being Tallied"), {245, 8, 220, 18});
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

    load();
}

Ttallylist::~Ttallylist()
{
    save();
}

void Ttallylist::showOwn(int k)
{
    mylabel[static_cast<std::size_t>(k)]->setText(stringgrid_scores.cell(k, 0));
}

int Ttallylist::followedRow(const QString& name) const
{
    const QList<QListWidgetItem*> found =
        listbox_tally->findItems(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
    return found.isEmpty() ? 0 : listbox_tally->row(found.first()) + 1;
}

QStringList Ttallylist::followed() const
{
    QStringList names;
    for (int row = 0; row < listbox_tally->count(); ++row)
        names << listbox_tally->item(row)->text();
    return names;
}

QStringList Ttallylist::playersInGame() const
{
    QStringList names;
    for (int row = 0; row < checklist->count(); ++row)
        names << checklist->item(row)->text();
    return names;
}

QString Ttallylist::shown(const char* name) const
{
    const auto* shownLabel = findChild<QLabel*>(QString::fromLatin1(name));
    return shownLabel != nullptr ? shownLabel->text() : QString();
}

void Ttallylist::addtomineincrease(int k)
{
    if (!stringgrid_scores.addit(k, 0))
        stringgrid_scores.setCell(k, 0, QStringLiteral("1")); // an empty or broken counter starts again
    showOwn(k);
}

void Ttallylist::addgame(const QString& winner)
{
    if (loadchecklist)
        loadchecklist();
    addtomineincrease(1);
    const bool iWon = winner == QLatin1String(kWinnerIsMe);
    if (iWon)
        addtomineincrease(2);
    const auto count = [this](int column, int row) {
        if (!stringgrid_scores.addit(column, row))
            stringgrid_scores.setCell(column, row, QStringLiteral("1"));
    };
    for (const QString& name : playersInGame()) {
        const int row = followedRow(name);
        if (row == 0)
            continue;
        for (int column = 1; column < TallyGrid::kColumns; ++column) {
            if (stringgrid_scores.cell(column, row).isEmpty())
                stringgrid_scores.setCell(column, row, QStringLiteral("0"));
        }
        count(1, row);
        count(5, row);
        const int allTime = name == winner ? 2 : iWon ? 3 : 4; // the opponent won, the user did, or neither
        count(allTime, row);
        count(allTime + 4, row);
    }
    if (listbox_tally->currentRow() >= 0)
        listbox_tallyClick(listbox_tally->currentRow());
    save(); // a game counted is never lost, whatever becomes of the program
}

void Ttallylist::figureave(int score)
{
    bool isNumber = false;
    const qint64 sum = stringgrid_scores.cell(6, 0).toLongLong(&isNumber) + score;
    stringgrid_scores.setCell(6, 0, QString::number(sum));
    showOwn(6);
    const int games = stringgrid_scores.cell(1, 0).toInt(&isNumber);
    if (isNumber && games > 0) {
        stringgrid_scores.setCell(5, 0, QString::number(sum / games));
        showOwn(5);
    }
    save();
}

void Ttallylist::setPlayersInGame(const QStringList& names)
{
    const QSignalBlocker quiet(checklist);
    checklist->clear();
    for (const QString& name : names)
        checklist->addItem(tickedItem(name, followedRow(name) != 0));
}

void Ttallylist::checklistClickCheck(int row)
{
    const QListWidgetItem* item = checklist->item(row);
    if (item == nullptr || followedRow(item->text()) != 0)
        return;
    {
        const QSignalBlocker quiet(listbox_tally);
        listbox_tally->addItem(tickedItem(item->text(), true));
    }
    stringgrid_scores.appendRow(QStringList{item->text()} + QStringList(8, QStringLiteral("0")));
}

void Ttallylist::listbox_tallyClickCheck(int row)
{
    QListWidgetItem* item = listbox_tally->item(row);
    if (item == nullptr || item->checkState() == Qt::Checked)
        return;
    const auto answer = QMessageBox::question(this, windowTitle(),
                                              QStringLiteral("This will delete ") + item->text() +
                                                  QStringLiteral("'s Tally, Are you want to delete it?"),
                                              QMessageBox::Yes | QMessageBox::No);
    const QSignalBlocker quiet(listbox_tally);
    if (answer != QMessageBox::Yes) {
        item->setCheckState(Qt::Checked);
        return;
    }
    stringgrid_scores.moverow(row + 1);
    delete listbox_tally->takeItem(row);
}

void Ttallylist::listbox_tallyClick(int row)
{
    const QListWidgetItem* item = listbox_tally->item(row);
    if (item == nullptr)
        return;
    for (int k = 1; k <= 8; ++k)
        label[static_cast<std::size_t>(k)]->setText(stringgrid_scores.cell(k, row + 1));
    label_hisname->setText(item->text() + QStringLiteral(" Wins:"));
    label_hisnametop->setText(item->text() + QStringLiteral("'s Tally"));
}

void Ttallylist::button_resetClick()
{
    if (QMessageBox::question(this, windowTitle(),
                              QStringLiteral("Are you sure you want to reset the Tally?"),
                              QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    stringgrid_scores.reset();
    for (int k = 1; k <= 6; ++k)
        showOwn(k);
    {
        const QSignalBlocker quiet(listbox_tally);
        listbox_tally->clear();
    }
    for (int k = 1; k <= 8; ++k)
        label[static_cast<std::size_t>(k)]->setText(QStringLiteral("0"));
    save();
}

void Ttallylist::load()
{
    QFile file(tallyFile_);
    if (!file.exists())
        return;
    if (!file.open(QIODevice::ReadOnly)) {
        report_(QStringLiteral("Lzrw1 (de)compression : Failed to open input file : ") + tallyFile_);
        return;
    }
    QByteArray text;
    std::optional<QString> problem;
    try {
        Tlzrw1::decompressBytes(file.readAll(), text);
    } catch (const ELzrw1Exception& e) {
        problem = tallyFile_ + QStringLiteral(": ") + QString::fromUtf8(e.what());
    }
    // Whatever could be read counts, even from a damaged file.
    if (!text.isEmpty() || !problem) {
        if (const std::optional<QString> damage = stringgrid_scores.fromText(text); damage && !problem)
            problem = tallyFile_ + QStringLiteral(": ") + *damage;
    }
    loadtally();
    if (problem && report_)
        report_(*problem);
}

void Ttallylist::loadtally()
{
    for (int k = 1; k <= 6; ++k)
        showOwn(k);
    const QSignalBlocker quiet(listbox_tally);
    for (int row = 1; row < stringgrid_scores.rowCount(); ++row) {
        listbox_tally->addItem(tickedItem(stringgrid_scores.cell(0, row), true));
        for (int column = 5; column <= 8; ++column)
            stringgrid_scores.setCell(column, row, QStringLiteral("0")); // a new session
    }
}

void Ttallylist::save() const
{
    QByteArray packed;
    try {
        packed = Tlzrw1::compressBytes(stringgrid_scores.toText(), Tlzrw1::Mode::Fast);
    } catch (const ELzrw1Exception&) {
        return; // a failed save is not worth troubling the user with; the old tally stays whole
    }
    // Written beside the tally and renamed over it, so a crash never leaves half a tally.
    QSaveFile file(tallyFile_);
    if (file.open(QIODevice::WriteOnly) && file.write(packed) == packed.size())
        file.commit();
}
