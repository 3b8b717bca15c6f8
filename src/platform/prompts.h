// Prompts: the one way the program shows a message box or a file, folder, colour or print dialog,
// so that logic can be driven in tests by a scripted fake.
#pragma once

#include <QColor>
#include <QFlags>
#include <QString>
#include <QStringList>

#include <optional>

class QPrinter;

namespace kivamo {

enum class PromptIcon { None, Information, Warning, Error, Question };

enum class PromptButton {
    None = 0,
    Ok = 0x1,
    Cancel = 0x2,
    Yes = 0x4,
    No = 0x8,
    Abort = 0x10,
    Retry = 0x20,
    Ignore = 0x40,
};
Q_DECLARE_FLAGS(PromptButtons, PromptButton)
Q_DECLARE_OPERATORS_FOR_FLAGS(PromptButtons)

struct MessagePrompt {
    QString caption;
    QString text;
    PromptIcon icon = PromptIcon::None;
    PromptButtons buttons = PromptButton::Ok;
    PromptButton defaultButton = PromptButton::None;  // None: the platform's choice
    bool stayOnTop = false;
};

struct FilePrompt {
    QString caption;
    QString directory;
    QString fileName;
    // Filter in the "description|patterns|description|patterns" form the system's dialogs use.
    QString filter;
    QString defaultSuffix;       // added when the typed name has no extension
    bool multiple = false;       // open: several files may be chosen
    bool confirmOverwrite = true;  // save: ask before an existing file is replaced
};

class Prompts {
public:
    virtual ~Prompts() = default;

    // Shows a message box and returns the button pressed (the Cancel or No button when closed).
    virtual PromptButton message(const MessagePrompt& prompt) = 0;
    // Open dialog: the chosen files in order, empty when cancelled.
    virtual QStringList openFiles(const FilePrompt& prompt) = 0;
    // Save dialog: the chosen path, empty when cancelled.
    virtual QString saveFile(const FilePrompt& prompt) = 0;
    // Folder browser: the chosen folder, empty when cancelled.
    virtual QString chooseFolder(const QString& caption, const QString& startDirectory) = 0;
    // Colour chooser: the chosen colour, nothing when cancelled.
    virtual std::optional<QColor> chooseColour(const QColor& initial) = 0;
    // Print dialog for the given printer: true when the user confirmed.
    virtual bool choosePrinter(QPrinter& printer) = 0;
};

// The application's error report: caption "Kivamo", the message, the error icon, an OK button.
void reportError(Prompts& prompts, const QString& message);

// Turns a "description|patterns|…" filter into the Qt form "description (patterns);;…", adding
// lower- and upper-case spellings of each pattern so that the match ignores case as on Windows.
QString qtFilterFromSystemFilter(const QString& filter);

}  // namespace kivamo
