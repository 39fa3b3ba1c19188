// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/DeleteConfirmation.h"

#include "models/Dock.h"

#include <QMessageBox>
#include <QPushButton>

namespace {

// A name as one short line: the question is no place for a name of pages.
QString shortName(const QString& name) {
    QString line = name.left(200).simplified();
    if (line.size() > 40)
        line = line.left(39) + QChar(0x2026);
    return line;
}

// "Firefox, Terminal, Notes and 4 more".
QString someNames(const std::vector<const DockItem*>& items) {
    QStringList names;
    for (std::size_t i = 0; i < items.size() && i < 3; ++i)
        names << QStringLiteral("\u201C%1\u201D").arg(shortName(items[i]->name));
    if (items.size() > 3)
        return DeleteConfirmation::tr("%1 and %2 more")
            .arg(names.join(QStringLiteral(", ")))
            .arg(items.size() - 3);
    if (names.size() > 1) {
        const QString last = names.takeLast();
        return DeleteConfirmation::tr("%1 and %2").arg(names.join(QStringLiteral(", ")), last);
    }
    return names.value(0);
}

QString itemsLine(const std::vector<const DockItem*>& items) {
    if (items.empty())
        return {};
    if (items.size() == 1)
        return DeleteConfirmation::tr("Its item %1 goes with it.").arg(someNames(items));
    return DeleteConfirmation::tr("Its %1 items go with it: %2.")
        .arg(items.size())
        .arg(someNames(items));
}

QMessageBox* ask(QWidget* parent, const QString& question, const QString& losses,
                 const QString& action, std::function<void()> remove) {
    auto* box =
        new QMessageBox(QMessageBox::Warning, action, question, QMessageBox::NoButton, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setInformativeText(losses.isEmpty()
                                ? DeleteConfirmation::tr("This cannot be undone.")
                                : losses + QLatin1Char(' ') +
                                      DeleteConfirmation::tr("This cannot be undone."));
    QPushButton* confirm = box->addButton(action, QMessageBox::DestructiveRole);
    confirm->setObjectName(QStringLiteral("confirmDelete"));
    box->setDefaultButton(box->addButton(QMessageBox::Cancel));
    QObject::connect(box, &QMessageBox::buttonClicked, box,
                     [confirm, remove = std::move(remove)](QAbstractButton* clicked) {
                         if (clicked == confirm)
                             remove();
                     });
    box->open();
    return box;
}

} // namespace

QString DeleteConfirmation::dockLosses(const Dock& dock) {
    std::vector<const DockItem*> items;
    for (const DockTab& tab : dock.tabs)
        for (const DockItem& item : tab.items)
            items.push_back(&item);
    QString text = itemsLine(items);
    if (dock.tabs.size() > 1)
        text = tr("Its %1 tabs go with it.").arg(dock.tabs.size()) +
               (text.isEmpty() ? QString() : QLatin1Char(' ') + text);
    return text;
}

QString DeleteConfirmation::tabLosses(const DockTab& tab) {
    std::vector<const DockItem*> items;
    for (const DockItem& item : tab.items)
        items.push_back(&item);
    return itemsLine(items);
}

QMessageBox* DeleteConfirmation::forDock(const Dock& dock, QWidget* parent,
                                         std::function<void()> remove) {
    return ask(parent, tr("Delete the dock \u201C%1\u201D?").arg(shortName(dock.name)),
               dockLosses(dock), tr("Delete Dock"), std::move(remove));
}

QMessageBox* DeleteConfirmation::forTab(const DockTab& tab, QWidget* parent,
                                        std::function<void()> remove) {
    return ask(parent, tr("Delete the tab \u201C%1\u201D?").arg(shortName(tab.name)),
               tabLosses(tab), tr("Delete Tab"), std::move(remove));
}

QMessageBox* DeleteConfirmation::forTrash(QWidget* parent, std::function<void()> empty) {
    return ask(parent, tr("Empty the Trash?"),
               tr("Everything in the Trash will be deleted for good."), tr("Empty Trash"),
               std::move(empty));
}
