// Message boxes and file dialogs, behind one interface so that windows can be
// driven by tests without anybody clicking: the tests install a recorder that
// answers dialogs with prepared paths and keeps every message shown.
#pragma once

#include <optional>

#include <QString>

class QWidget;

namespace pellam {

enum class MessageIcon { None, Information, Error };

class UserInteraction {
public:
    virtual ~UserInteraction() = default;

    // A modal message box with one OK button.
    virtual void showMessage(QWidget* parent, const QString& text) = 0;
    // The same with its own title and icon; by default a plain message.
    virtual void showNotice(QWidget* parent, const QString& text, const QString& /*title*/,
                            MessageIcon /*icon*/) {
        showMessage(parent, text);
    }

    // A modal yes/no question; true for yes. No is the default answer.
    virtual bool confirm(QWidget* parent, const QString& question) = 0;

    // Whether unsaved edits are to be saved first: save, discard, or cancel
    // the command that would lose them. Save is the default answer.
    enum class SaveAnswer { Save, Discard, Cancel };
    virtual SaveAnswer askToSave(QWidget* parent, const QString& question) = 0;

    // Filters are given as "Description|mask|Description|mask...". An empty
    // result means the dialog was cancelled.
    virtual QString openFileName(QWidget* parent, const QString& filter,
                                 const QString& defaultSuffix) = 0;

    struct SaveChoice {
        QString path;
        int filterIndex = 1; // 1-based position of the chosen filter
    };
    virtual std::optional<SaveChoice> saveFileName(QWidget* parent, const QString& filter) = 0;

    // A modal choice of one of the items; the index chosen, or -1 when cancelled.
    virtual int chooseItem(QWidget* parent, const QString& title, const QString& label,
                           const QStringList& items) = 0;
};

// The real dialogs: QMessageBox and QFileDialog.
class QtUserInteraction : public UserInteraction {
public:
    void showMessage(QWidget* parent, const QString& text) override;
    void showNotice(QWidget* parent, const QString& text, const QString& title,
                    MessageIcon icon) override;
    bool confirm(QWidget* parent, const QString& question) override;
    SaveAnswer askToSave(QWidget* parent, const QString& question) override;
    // The file dialogs open in the folder the last one was left in.
    QString openFileName(QWidget* parent, const QString& filter,
                         const QString& defaultSuffix) override;
    std::optional<SaveChoice> saveFileName(QWidget* parent, const QString& filter) override;
    int chooseItem(QWidget* parent, const QString& title, const QString& label,
                   const QStringList& items) override;
};

// "Binary files(*.bin)|*.BIN|..." as Qt name filters: "Binary files(*.bin) (*.bin *.BIN)".
// Each mask is offered in both cases, as file names on Linux are case-sensitive.
QStringList qtNameFilters(const QString& filter);

} // namespace pellam
