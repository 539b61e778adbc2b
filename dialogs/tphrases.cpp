#include "tphrases.h"

#include "artwork.h"
#include "dialoglook.h"

#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

Tphrases::Tphrases(QWidget* parent) : QWidget(parent, Qt::Dialog)
{
    // Laid out by the font's measure, so that the labels and the note fit whatever it is.
    QFont bold = font();
    bold.setBold(true);
    const QFontMetrics boldMetrics(bold);
    const int labelWidth =
        boldMetrics.horizontalAdvance(QStringLiteral("Phrase Button %1:").arg(kPhrases)) + 4;
    constexpr int kMargin = 8;
    constexpr int kEntryWidth = 248;
    const int rowHeight = std::max(24, fontMetrics().height() + 10);
    const int width = kMargin + labelWidth + kEntryWidth + kMargin;

    for (int k = 1; k <= kPhrases; ++k) {
        const int top = kMargin + rowHeight * (k - 1);
        auto* label = new QLabel(QStringLiteral("Phrase Button %1:").arg(k), this);
        label->setObjectName(QStringLiteral("label_phrase%1").arg(k));
        label->setFont(bold);
        label->setGeometry(kMargin, top, labelWidth, rowHeight - 3);
        auto* entry = new QLineEdit(this);
        entry->setObjectName(QStringLiteral("phrase%1").arg(k));
        entry->setMaxLength(kMaxLength);
        entry->setGeometry(kMargin + labelWidth, top, kEntryWidth, rowHeight - 3);
        phrase[static_cast<std::size_t>(k - 1)] = entry;
    }
    const int footerTop = kMargin + rowHeight * kPhrases + 2;
    auto* done = new QPushButton(QStringLiteral("Done"), this);
    done->setObjectName(QStringLiteral("button_done"));
    const int doneWidth = std::max(74, done->sizeHint().width());
    done->setGeometry(width - kMargin - doneWidth, footerTop, doneWidth, 26);
    auto* note = new QLabel(QStringLiteral("Buttons can only be used once every 2 seconds"), this);
    note->setObjectName(QStringLiteral("label_note"));
    QPalette red = note->palette();
    red.setColor(QPalette::WindowText, QColor(200, 0, 0));
    note->setPalette(red);
    note->setWordWrap(true);
    const int noteWidth = width - 3 * kMargin - doneWidth;
    const int noteHeight =
        fontMetrics().boundingRect(QRect(0, 0, noteWidth, 1000), Qt::TextWordWrap, note->text()).height() + 4;
    note->setGeometry(kMargin, footerTop, noteWidth, std::max(26, noteHeight));
    giveDialogLook(this, "phrases", QStringLiteral("Pinfall - Phrase Buttons "),
                   {width, footerTop + std::max(26, noteHeight) + kMargin});
    connect(done, &QPushButton::clicked, this, &Tphrases::button_doneClick);
}

void Tphrases::setPhrases(const QStringList& phrases)
{
    for (std::size_t k = 0; k < phrase.size(); ++k)
        phrase[k]->setText(phrases.value(static_cast<qsizetype>(k)));
}

QStringList Tphrases::phrases() const
{
    QStringList texts;
    for (const QLineEdit* entry : phrase)
        texts << entry->text();
    return texts;
}

void Tphrases::button_doneClick()
{
    Q_EMIT phrasesChosen(phrases());
    close();
}
