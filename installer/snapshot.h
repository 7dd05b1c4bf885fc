// A product's feature-state snapshot: "name,state" entries with an index of their names.
#pragma once

#include "framework/collections.h"

// The entries keep their list order (the first at the head, each later one inserted
// right after it). The index beside them answers "is this name recorded?" without
// walking the list; should it ever miss an insert (exhausted memory), the snapshot
// falls back to walking the list, so the answer is always that of the list.
class CFeatureSnapshot {
public:
    CFeatureSnapshot() : m_bIndexComplete(true) {}

    // Inserts the entry "name,state" after the head (or as the head) and indexes the name.
    void Record(const CString& strName, int nState);
    // TRUE when an entry has this name.
    bool IsRecorded(const CString& strName) const;

    // Walks the entries in list order: GetNext gives the entry at pos as its name and
    // recorded state, and moves pos on (NULL after the last).
    POSITION GetHeadPosition() const { return m_listEntries.GetHeadPosition(); }
    void GetNext(POSITION& pos, CString& strName, long& nState) const;
    // The entries as texts, in list order.
    const CStringList& GetEntries() const { return m_listEntries; }

private:
    CFeatureSnapshot(const CFeatureSnapshot&) = delete;
    CFeatureSnapshot& operator=(const CFeatureSnapshot&) = delete;

    CStringList m_listEntries;
    CMapStringToString m_mapNames;
    bool m_bIndexComplete;
};
