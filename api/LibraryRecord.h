// A record that the analysis library hands out, held until it goes back
// through its KERVApi free wrapper: when the holder leaves its scope, on every
// path, also when a writer throws.
#pragma once

class KERVApi;

namespace kerv {

// When the free wrapper is called for a record pointer that is still null.
enum class NullRecord {
    Keep,     // no record, nothing to hand back
    Release,  // the wrapper is called with the null pointer too
};

template <typename Record, auto Free, NullRecord Null = NullRecord::Keep>
class LibraryRecord {
public:
    explicit LibraryRecord(KERVApi& api) : m_api(api) {}
    ~LibraryRecord() {
        if (m_record != nullptr || Null == NullRecord::Release) (m_api.*Free)(&m_record);
    }
    LibraryRecord(const LibraryRecord&) = delete;
    LibraryRecord& operator=(const LibraryRecord&) = delete;

    // The out-parameter the entry point stores the record through.
    Record** address() { return &m_record; }
    Record* get() const { return m_record; }
    Record* operator->() const { return m_record; }
    explicit operator bool() const { return m_record != nullptr; }

    // Drops the record without handing it back: a list that comes with an
    // unsuccessful result is neither read nor released.
    void drop() {
        static_assert(Null == NullRecord::Keep, "a dropped record must not be handed back as null");
        m_record = nullptr;
    }

private:
    KERVApi& m_api;
    Record* m_record = nullptr;
};

}  // namespace kerv
