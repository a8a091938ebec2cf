#pragma once
// The settings store "CVSettings" for tests. It keeps JSON values per node and path; a writer's
// values become visible only when the writer is committed. Switches make opening, reading,
// writing (which then counts an error) or committing fail. Given a file, it loads it at
// construction and rewrites it at every commit, so a later store (a later run) sees what an
// earlier one saved. Seed and Stored let a test put values in and read them back directly.
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <json/value.h>

#include "module/host/icv_settings.h"

struct SettingsFaults
{
    bool openForReading = false;          // OpenForReading answers null
    bool createWriter = false;            // CreateWriter answers null
    bool reads = false;                   // ReadJson and ReadBool answer false
    bool writes = false;                  // every write answers false and counts an error
    std::set<std::wstring> failingPaths;  // writes to these paths answer false and count an error
    bool commit = false;                  // Commit answers false and stores nothing
};

class FakeSettingsStore final : public ICVSettings
{
public:
    struct CommitCall
    {
        std::wstring node;
        uint32_t flags;
        uint32_t mode;
        bool succeeded;
    };

    FakeSettingsStore() = default;
    explicit FakeSettingsStore(std::wstring backingFile);
    ~FakeSettingsStore();

    ISettingsAccessor* OpenForReading(const wchar_t* node, uint32_t flags) override;
    ISettingsAccessor* CreateWriter() override;
    bool Commit(ISettingsAccessor* writer, const wchar_t* node, uint32_t flags, uint32_t mode) override;

    void SetFaults(const SettingsFaults& faults);
    void Seed(const std::wstring& node, const std::wstring& path, const Json::Value& value);
    std::optional<Json::Value> Stored(const std::wstring& node, const std::wstring& path) const;

    std::vector<CommitCall> Commits() const;
    int ReadOpens() const;
    int WritersCreated() const;
    int LiveAccessors() const; // accessors handed out and not released

    // Used by the accessors.
    SettingsFaults Faults() const;
    void Released();

private:
    using Node = std::map<std::wstring, Json::Value>;
    void Load();
    void Save() const;

    mutable std::mutex mutex_;
    std::wstring backingFile_;
    std::map<std::wstring, Node> nodes_;
    SettingsFaults faults_;
    std::vector<CommitCall> commits_;
    int readOpens_ = 0;
    int writersCreated_ = 0;
    int liveAccessors_ = 0;
};
