// The spam safety's rows. French texts are Windows-1252 bytes, as in the
// other tables, decoded to UTF-8 when they are used.
#include "unitLanguageSpamSafety.h"

namespace {
std::string InitialText(const std::string* message)
{
    for (const TMessageRow& row : SpamSafetyMessageTexts())
        if (row.text == message)
            return row.english;
    return std::string();
}
}  // namespace

std::string MsgSpamGuardKept = InitialText(&MsgSpamGuardKept);
std::string MsgSpamGuardAsk = InitialText(&MsgSpamGuardAsk);
std::string MsgSpamGuardLine = InitialText(&MsgSpamGuardLine);
std::string MsgSpamDeletedWhy = InitialText(&MsgSpamDeletedWhy);
std::string MsgSpamSenderList = InitialText(&MsgSpamSenderList);
std::string MsgSpamSubjectList = InitialText(&MsgSpamSubjectList);
std::string MsgCopyNotSaved = InitialText(&MsgCopyNotSaved);
std::string MsgCopyCut = InitialText(&MsgCopyCut);
std::string MsgCopySize = InitialText(&MsgCopySize);
std::string MsgCopyNotWritten = InitialText(&MsgCopyNotWritten);
std::string MsgSpamMovedWhy = InitialText(&MsgSpamMovedWhy);
std::string MsgSpamCopiedWhy = InitialText(&MsgSpamCopiedWhy);
std::string MsgSpamCopiedMarkedWhy = InitialText(&MsgSpamCopiedMarkedWhy);
std::string MsgSpamMarkedWhy = InitialText(&MsgSpamMarkedWhy);
std::string MsgCopyTooLarge = InitialText(&MsgCopyTooLarge);

const std::vector<TMessageRow>& SpamSafetyMessageTexts()
{
    static const std::vector<TMessageRow> rows = {
        {"MsgSpamGuardKept", &MsgSpamGuardKept,
         "The SPAM lists mark %d of %d messages of '%s': none deleted. Check the lists, then use Erase all SPAM "
         "messages.",
         "Les listes de SPAM d\xE9signent %d des %d messages de '%s' : aucun n'a \xE9t\xE9 effac\xE9. "
         "V\xE9rifiez les listes, puis utilisez Effacer tous les messages de SPAM."},
        {"MsgSpamGuardAsk", &MsgSpamGuardAsk, "The SPAM lists mark many messages:\r\n%s\r\nDelete them all?",
         "Les listes de SPAM d\xE9signent beaucoup de messages :\r\n%s\r\nLes effacer tous ?"},
        {"MsgSpamGuardLine", &MsgSpamGuardLine, "%d of %d messages of '%s'", "%d des %d messages de '%s'"},
        {"MsgSpamDeletedWhy", &MsgSpamDeletedWhy, "A message was deleted: from %s, \"%s\" (%s: \"%s\")",
         "Un message a \xE9t\xE9 d\xE9truit : de %s, \xAB %s \xBB (%s : \xAB %s \xBB)"},
        {"MsgSpamSenderList", &MsgSpamSenderList, "SPAM senders list", "liste des exp\xE9" "diteurs SPAM"},
        {"MsgSpamSubjectList", &MsgSpamSubjectList, "SPAM subjects list", "liste des sujets SPAM"},
        {"MsgCopyNotSaved", &MsgCopyNotSaved, "Message %d on '%s' was not deleted: its copy could not be saved (%s)",
         "Le message %d sur '%s' n'a pas \xE9t\xE9 d\xE9truit : sa copie n'a pas pu \xEAtre enregistr\xE9" "e (%s)"},
        {"MsgCopyCut", &MsgCopyCut, "the message arrived incomplete", "le message est arriv\xE9 incomplet"},
        {"MsgCopySize", &MsgCopySize, "%d bytes received where the server announced %d",
         "%d octets re\xE7us alors que le serveur en annon\xE7" "ait %d"},
        {"MsgCopyNotWritten", &MsgCopyNotWritten, "the file '%s' could not be written",
         "le fichier '%s' n'a pas pu \xEAtre \xE9" "crit"},
        {"MsgSpamMovedWhy", &MsgSpamMovedWhy, "A message was moved to the folder '%s': from %s, \"%s\" (%s: \"%s\")",
         "Un message a \xE9t\xE9 d\xE9plac\xE9 dans le dossier '%s' : de %s, \xAB %s \xBB (%s : \xAB %s \xBB)"},
        // The server has no folder for spam: the copy kept here is the one left.
        {"MsgSpamCopiedWhy", &MsgSpamCopiedWhy,
         "A message was removed from the server, its copy kept in Deleted SPAM: from %s, \"%s\" (%s: \"%s\")",
         "Un message a \xE9t\xE9 retir\xE9 du serveur, sa copie gard\xE9" "e dans SPAM effac\xE9s : de %s, "
         "\xAB %s \xBB (%s : \xAB %s \xBB)"},
        {"MsgSpamCopiedMarkedWhy", &MsgSpamCopiedMarkedWhy,
         "A message was marked deleted on the server, which cannot remove it alone, its copy kept in Deleted SPAM: "
         "from %s, \"%s\" (%s: \"%s\")",
         "Un message a \xE9t\xE9 marqu\xE9 effac\xE9 sur le serveur, qui ne peut pas le retirer seul, sa copie "
         "gard\xE9" "e dans SPAM effac\xE9s : de %s, \xAB %s \xBB (%s : \xAB %s \xBB)"},
        {"MsgSpamMarkedWhy", &MsgSpamMarkedWhy,
         "A message was marked deleted on the server, which cannot remove it alone: from %s, \"%s\" (%s: \"%s\")",
         "Un message a \xE9t\xE9 marqu\xE9 effac\xE9 sur le serveur, qui ne peut pas le retirer seul : de %s, "
         "\xAB %s \xBB (%s : \xAB %s \xBB)"},
        {"MsgCopyTooLarge", &MsgCopyTooLarge, "the message is larger than 4 MB, the most a copy takes",
         "le message d\xE9passe 4 Mo, le plus qu'une copie accepte"},
    };
    return rows;
}

TSpamSafetyTexts SpamSafetyTextsOfMessages()
{
    return {MsgSpamGuardKept, MsgSpamGuardAsk,  MsgSpamGuardLine, MsgSpamDeletedWhy, MsgSpamSenderList,
            MsgSpamSubjectList, MsgCopyNotSaved, MsgCopyCut,       MsgCopySize,       MsgCopyNotWritten,
            MsgSpamMovedWhy,  MsgSpamCopiedWhy, MsgSpamCopiedMarkedWhy, MsgSpamMarkedWhy,  MsgCopyTooLarge};
}
