// The English and French text tables. Each window of the system has its own
// table of rows {key, English, French}; applying a language writes the
// version text, then every window's rows through the applier that window
// registered, then the message texts.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "text/Utf8Text.h"

// The order of the options dialog's language radio group: item 0, item 1.
enum class TLanguage { English = 0, French = 1 };

// One translatable text. The French text of the table is kept as the
// Windows-1252 bytes it was written in and decoded to UTF-8 when it is used.
struct TTextRow {
    const char* key;
    const char* english;
    const char* french;

    std::string In(TLanguage language) const
    {
        return language == TLanguage::French ? Windows1252ToUtf8(french) : std::string(english);
    }
};

// One row of the messages table and the global text it fills.
struct TMessageRow {
    const char* key;
    std::string* text;
    const char* english;
    const char* french;

    std::string In(TLanguage language) const
    {
        return language == TLanguage::French ? Windows1252ToUtf8(french) : std::string(english);
    }
};

// The text of `key` in `rows`; empty when no row has that key.
std::string TextOf(const std::vector<TTextRow>& rows, const std::string& key, TLanguage language);

// The messages, from `VersionText` to `MsgMoreMessages`, in table order.
const std::vector<TMessageRow>& MessageTexts();
// The English text of the row that fills `message`; empty when no row does.
// Gives each message its first value.
std::string InitialMessageText(const std::string* message);

// The tray menu's captions, keyed by item name, top to bottom.
const std::vector<TTextRow>& TrayMenuTexts();
std::string TrayMenuCaption(const std::string& item, TLanguage language);

// The rows of the other windows, in the order each window writes them. A
// window caption has the key "Caption"; an item of a list control has the
// control's name followed by ".Items[n]" (a grid heading ".Columns[n]"); a
// file dialog's texts are "<dialog>.Filter" and "<dialog>.Title".
const std::vector<TTextRow>& OptionsTexts();
const std::vector<TTextRow>& AboutTexts();
const std::vector<TTextRow>& WindowsListTexts();
const std::vector<TTextRow>& MailboxTexts();

// What a window does with the text of one row, bound to the row's key.
using TTextSetter = std::function<void(const std::string&)>;
using TTextSetters = std::map<std::string, TTextSetter>;
// Writes each row of `rows`, in table order, through the setter bound to its
// key. Answers the keys that have no setter: rows whose controls the window
// does not have (yet), which are skipped.
std::vector<std::string> WriteRows(const std::vector<TTextRow>& rows, const TTextSetters& setters,
                                   TLanguage language);

// The windows whose rows a language switch rewrites, in the order it does so.
enum class TTextWindow { TrayMenu, OptionsDialog, AboutBox, WindowsList, Mailboxes, Count };

// Each window gives one applier that writes its own rows, in its table's
// order, into its controls. An empty function removes the window's applier;
// a window does so before it is destroyed.
using TTextApplier = std::function<void(TLanguage)>;
void SetTextApplier(TTextWindow window, TTextApplier applier);

// Writes every text of `language`: the version text first (the about box
// shows it), then each window in the order of TTextWindow, then the messages.
void ApplyTexts(TLanguage language);
void ApplyEnglishTexts();
void ApplyFrenchTexts();
