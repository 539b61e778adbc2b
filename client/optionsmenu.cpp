#include "optionsmenu.h"

#include <QActionGroup>

OptionsMenu::OptionsMenu(const QString& title, GameSettings& settings, QWidget* parent)
    : QMenu(title, parent),
      settings_(settings)
{}

void OptionsMenu::addSwitch(const char* name, const QString& caption, bool GameSettings::*option)
{
    QAction* item = addAction(caption);
    item->setObjectName(QString::fromLatin1(name));
    item->setCheckable(true);
    connect(item, &QAction::triggered, this, [this, option](bool on) {
        settings_.*option = on;
        Q_EMIT chosen();
    });
    switches_.append({item, option});
}

void OptionsMenu::addChoice(const char* name, const QString& caption, std::initializer_list<Item> items,
                            int GameSettings::*option)
{
    QMenu* menu = addMenu(caption);
    menu->menuAction()->setObjectName(QString::fromLatin1(name));
    auto* group = new QActionGroup(menu);
    group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (const auto& [itemName, itemCaption, value] : items) {
        QAction* item = menu->addAction(itemCaption);
        item->setObjectName(QString::fromLatin1(itemName));
        item->setCheckable(true);
        item->setData(value);
        group->addAction(item);
    }
    connect(group, &QActionGroup::triggered, this, [this, option](QAction* item) {
        settings_.*option = item->data().toInt();
        Q_EMIT chosen();
    });
    choices_.append({group, option});
}

void OptionsMenu::showSettings()
{
    for (const auto& [item, option] : switches_)
        item->setChecked(settings_.*option);
    for (const auto& [group, option] : choices_) {
        for (QAction* item : group->actions())
            item->setChecked(item->data().toInt() == settings_.*option);
    }
}
