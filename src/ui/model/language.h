// The language the interface speaks.
//
// The window model and its dialogs hold their texts in Chinese, and so do the console lines; the
// drive's own text is never translated. Whoever shows a text of the model to the technician (the Qt
// view, hddterm-cli's message lines) passes it through displayText(), which gives the English of
// the built-in catalogue (":/i18n/hddterm_en.qm", context "hddterm") while English is chosen and
// the text itself otherwise. A text the model put together at run time from a catalogued pattern
// ("源文件%1不存在！" with its number) is recognised by the pattern and shown as the English pattern
// with the same values; so is a catalogued text with a value (a file name) before or after it, and
// the lines of a text and the parts of one joined by " - " are looked up one by one.
//
// Chinese is the default. The choice comes from --lang (zh or en), else HDDTERM_LANG, else what
// the settings file remembers. With Chinese, Qt's own texts (file dialogs, box buttons) take Qt's
// Chinese catalogue; with English they stay Qt's own English. A build made without the Qt
// translation tools has no catalogue: English then stays Chinese, with a note on stderr.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <optional>

namespace hdd {

enum class Language { Chinese, English };

// "zh", "en" (any case; "zh_CN", "en_US.UTF-8" and the like too); nullopt for anything else.
std::optional<Language> parseLanguage(const QString& code);
QString languageCode(Language language);
// The option beats the environment, which beats the remembered choice; unknown values are passed
// over, and nothing known leaves Chinese.
Language chooseLanguage(const QString& option, const QString& environment, const QString& remembered);
// The value of "--lang X" or "--lang=X" in a program's arguments (empty when absent).
QString languageOption(const QStringList& args);

// Whether the English catalogue is built into the program.
bool englishCatalogueBuilt();
// Makes `language` the one shown from now on (Qt's own catalogue included) and tells every
// listener. Returns false when English was asked for and the catalogue is missing.
bool setLanguage(Language language);
Language currentLanguage();

// The text as the technician is shown it in the current language.
QString displayText(const QString& text);
QStringList displayTexts(const QStringList& texts);

// Where Qt's own catalogues are looked for, in order.
QStringList qtTranslationFolders();

// Tells the views that the language changed (they show every text again).
class LanguageNotifier : public QObject {
    Q_OBJECT
public:
    static LanguageNotifier& instance();
signals:
    void changed();
};

}  // namespace hdd
