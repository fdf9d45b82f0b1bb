#include "gui/ui/user_interaction.h"

#include "gui/ui/user_config.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace pellam {

QStringList qtNameFilters(const QString& filter) {
    QStringList result;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QStringList masks;
        for (const QString& mask : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            for (const QString& variant : {mask.toLower(), mask.toUpper()})
                if (!masks.contains(variant))
                    masks << variant;
        }
        result << QStringLiteral("%1 (%2)").arg(parts[i], masks.join(QLatin1Char(' ')));
    }
    return result;
}

void QtUserInteraction::showMessage(QWidget* parent, const QString& text) {
    QMessageBox box(parent);
    box.setWindowTitle(QStringLiteral("Pellam"));
    box.setText(text);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

void QtUserInteraction::showNotice(QWidget* parent, const QString& text, const QString& title,
                                   MessageIcon icon) {
    QMessageBox box(parent);
    box.setWindowTitle(title.isEmpty() ? QStringLiteral("Pellam") : title);
    box.setIcon(icon == MessageIcon::Error         ? QMessageBox::Critical
                : icon == MessageIcon::Information ? QMessageBox::Information
                                                   : QMessageBox::NoIcon);
    box.setText(text);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

bool QtUserInteraction::confirm(QWidget* parent, const QString& question) {
    QMessageBox box(parent);
    box.setWindowTitle(QStringLiteral("Pellam"));
    box.setIcon(QMessageBox::Warning);
    box.setText(question);
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

UserInteraction::SaveAnswer QtUserInteraction::askToSave(QWidget* parent,
                                                         const QString& question) {
    QMessageBox box(parent);
    box.setWindowTitle(QStringLiteral("Pellam"));
    box.setIcon(QMessageBox::Warning);
    box.setText(question);
    box.setStandardButtons(QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Save:
        return SaveAnswer::Save;
    case QMessageBox::Discard:
        return SaveAnswer::Discard;
    default:
        return SaveAnswer::Cancel;
    }
}

QString QtUserInteraction::openFileName(QWidget* parent, const QString& filter,
                                        const QString& defaultSuffix) {
    QFileDialog dialog(parent);
    if (!lastFolder().isEmpty())
        dialog.setDirectory(lastFolder());
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(qtNameFilters(filter));
    dialog.setDefaultSuffix(defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    setLastFolder(dialog.directory().absolutePath());
    return dialog.selectedFiles().constFirst();
}

std::optional<UserInteraction::SaveChoice> QtUserInteraction::saveFileName(QWidget* parent,
                                                                           const QString& filter) {
    QFileDialog dialog(parent);
    if (!lastFolder().isEmpty())
        dialog.setDirectory(lastFolder());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    const QStringList filters = qtNameFilters(filter);
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    setLastFolder(dialog.directory().absolutePath());
    SaveChoice choice;
    choice.path = dialog.selectedFiles().constFirst();
    choice.filterIndex =
        std::max(1, static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1);
    return choice;
}

int QtUserInteraction::chooseItem(QWidget* parent, const QString& title, const QString& label,
                                  const QStringList& items) {
    bool ok = false;
    const QString chosen = QInputDialog::getItem(parent, title, label, items, 0, false, &ok);
    return ok ? static_cast<int>(items.indexOf(chosen)) : -1;
}

} // namespace pellam
