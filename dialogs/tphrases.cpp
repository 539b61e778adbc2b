#include "tphrases.h"

#include "artwork.h"
#include "dialoglook.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

Tphrases::Tphrases(QWidget* parent) : QWidget(parent, Qt::Dialog)
{
    giveDialogLook(this, "phrases", QStringLiteral("Pinfall - Phrase Buttons "), {368, 282});

    for (int k = 1; k <= kPhrases; ++k) {
        const int top = 8 + 24 * (k - 1);
        auto* label = new QLabel(QStringLiteral("Phrase Button %1:").arg(k), this);
        QFont bold = label->font();
        bold.setBold(true);
        label->setFont(bold);
        label->setGeometry(8, top, 110, 21);
        auto* entry = new QLineEdit(this);
        entry->setObjectName(QStringLiteral("phrase%1").arg(k));
        entry->setMaxLength(kMaxLength);
        entry->setGeometry(112, top, 248, 21);
        phrase[static_cast<std::size_t>(k - 1)] = entry;
    }
    auto* note = new QLabel(QStringLiteral("Buttons can only be used once every 2 seconds"), this);
    QPalette red = note->palette();
    red.setColor(QPalette::WindowText, QColor(200, 0, 0));
    note->setPalette(red);
    note->setGeometry(8, 250, 270, 24);
    auto* done = new QPushButton(QStringLiteral("Done"), this);
    done->setObjectName(QStringLiteral("button_done"));
    done->setGeometry(286, 250, 74, 26);
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
