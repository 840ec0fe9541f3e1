#include "history/JournalStartup.h"

namespace qv {

QString RestoreQuestion(uint8_t language, int rows)
{
    if (language == 0)
        return QStringLiteral("Program nie zosta\u0142 poprawnie zamkni\u0119ty.\r\n"
                              "Przywr\u00f3ci\u0107 niezapisane pomiary (%1)?").arg(rows);
    return QStringLiteral("The program was not closed properly. Restore %1 unsaved measurements?").arg(rows);
}

JournalStart StartJournal(HistoryStore &store, Journal &journal, const QString &path,
                          RestorePolicy policy, const std::function<bool(int rows)> &ask)
{
    JournalStart result;
    if (!journal.open(path, result.error))
        return result;
    result.open = true;
    const JournalContents held = ReadJournal(path);
    if (held.unsaved) {
        // Rows added since the last save are what would be lost; when only
        // comments or deletions are unsaved, the whole history is offered.
        const int offered = held.unsavedRows > 0 ? held.unsavedRows : held.rowCount();
        if (policy == RestorePolicy::Restore || (ask && ask(offered))) {
            // The journal already holds this history: it is not written again.
            store.load(size_t(held.rowCount()), [&](size_t i) { return held.row(int(i)); }, held.histCount, held.histId);
            result.restored = store.HistRows();
        } else {
            result.movedTo = journal.moveAside();
            if (result.movedTo.isEmpty())
                result.error = journal.lastError();
        }
    } else if (held.rowCount() > 0 || held.damaged) {
        journal.startFresh(nullptr);   // all of it was saved
    }
    auto earlier = std::move(store.onChange);
    store.onChange = [&store, &journal, earlier](const HistoryChange &change) {
        journal.record(store, change);
        if (earlier)
            earlier(change);
    };
    return result;
}

} // namespace qv
