#include "fake_host/fake_settings_store.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include <json/reader.h>
#include <json/writer.h>

#include "sdk/utf8.h"

namespace {

std::wstring TextOf(const wchar_t* text) { return text != nullptr ? text : L""; }

// One node's values: a snapshot to read from, or the pending values of a writer.
class FakeSettingsAccessor final : public ISettingsAccessor
{
public:
    using Node = std::map<std::wstring, Json::Value>;

    FakeSettingsAccessor(FakeSettingsStore& store, bool writer, Node values)
        : store_(store), writer_(writer), values_(std::move(values))
    {
    }

    uint32_t Release() override
    {
        store_.Released();
        delete this;
        return 0;
    }

    uint32_t ErrorCount() override { return errors_; }

    bool ReadJson(const wchar_t* path, Json::Value& value, uint32_t) override
    {
        const Json::Value* stored = Find(path);
        if (stored == nullptr)
            return false;
        value = *stored;
        return true;
    }

    bool ReadBool(const wchar_t* path, bool& value, uint32_t) override
    {
        const Json::Value* stored = Find(path);
        if (stored == nullptr || !stored->isBool())
            return false;
        value = stored->asBool();
        return true;
    }

    bool WriteJson(const wchar_t* path, const Json::Value& value) override { return Write(path, value); }
    bool WriteBool(const wchar_t* path, bool value) override { return Write(path, Json::Value(value)); }

    bool IsWriter() const noexcept { return writer_; }
    // A committed writer is spent: its values move into the store instead of being copied, as
    // a store that owns what it was given would do (a status document can hold 10001 items).
    Node TakeValues() { return std::move(values_); }

private:
    const Json::Value* Find(const wchar_t* path) const
    {
        if (store_.Faults().reads)
            return nullptr;
        const auto it = values_.find(TextOf(path));
        return it != values_.end() ? &it->second : nullptr;
    }

    bool Write(const wchar_t* path, const Json::Value& value)
    {
        const SettingsFaults faults = store_.Faults();
        if (!writer_ || faults.writes || faults.failingPaths.count(TextOf(path)) != 0)
        {
            ++errors_;
            return false;
        }
        values_[TextOf(path)] = value;
        return true;
    }

    FakeSettingsStore& store_;
    const bool writer_;
    Node values_;
    uint32_t errors_ = 0;
};

} // namespace

FakeSettingsStore::FakeSettingsStore(std::wstring backingFile) : backingFile_(std::move(backingFile)) { Load(); }

FakeSettingsStore::~FakeSettingsStore() = default;

ISettingsAccessor* FakeSettingsStore::OpenForReading(const wchar_t* node, uint32_t)
{
    std::lock_guard<std::mutex> lock(mutex_);
    ++readOpens_;
    if (faults_.openForReading)
        return nullptr;
    ++liveAccessors_;
    const auto it = nodes_.find(TextOf(node));
    return new FakeSettingsAccessor(*this, false, it != nodes_.end() ? it->second : Node());
}

ISettingsAccessor* FakeSettingsStore::CreateWriter()
{
    std::lock_guard<std::mutex> lock(mutex_);
    ++writersCreated_;
    if (faults_.createWriter)
        return nullptr;
    ++liveAccessors_;
    return new FakeSettingsAccessor(*this, true, Node());
}

bool FakeSettingsStore::Commit(ISettingsAccessor* writer, const wchar_t* node, uint32_t flags, uint32_t mode)
{
    std::lock_guard<std::mutex> lock(mutex_);
    auto* accessor = dynamic_cast<FakeSettingsAccessor*>(writer);
    const bool succeeded = accessor != nullptr && accessor->IsWriter() && !faults_.commit;
    commits_.push_back(CommitCall{TextOf(node), flags, mode, succeeded});
    if (!succeeded)
        return false;
    Node& stored = nodes_[TextOf(node)];
    for (auto& value : accessor->TakeValues())
        stored[value.first] = std::move(value.second);
    Save();
    return true;
}

void FakeSettingsStore::SetFaults(const SettingsFaults& faults)
{
    std::lock_guard<std::mutex> lock(mutex_);
    faults_ = faults;
}

SettingsFaults FakeSettingsStore::Faults() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return faults_;
}

void FakeSettingsStore::Seed(const std::wstring& node, const std::wstring& path, const Json::Value& value)
{
    std::lock_guard<std::mutex> lock(mutex_);
    nodes_[node][path] = value;
    Save();
}

std::optional<Json::Value> FakeSettingsStore::Stored(const std::wstring& node, const std::wstring& path) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = nodes_.find(node);
    if (found == nodes_.end())
        return std::nullopt;
    const auto value = found->second.find(path);
    if (value == found->second.end())
        return std::nullopt;
    return value->second;
}

std::vector<FakeSettingsStore::CommitCall> FakeSettingsStore::Commits() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return commits_;
}

int FakeSettingsStore::ReadOpens() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return readOpens_;
}

int FakeSettingsStore::WritersCreated() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return writersCreated_;
}

int FakeSettingsStore::LiveAccessors() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return liveAccessors_;
}

void FakeSettingsStore::Released()
{
    std::lock_guard<std::mutex> lock(mutex_);
    --liveAccessors_;
}

// File format: { "<node>": { "<path>": <value>, ... }, ... } with UTF-8 names.
void FakeSettingsStore::Load()
{
    if (backingFile_.empty())
        return;
    std::ifstream file{std::filesystem::path(backingFile_)};
    if (!file)
        return;
    Json::Value root;
    Json::CharReaderBuilder reader;
    std::string errors;
    if (!Json::parseFromStream(reader, file, &root, &errors) || !root.isObject())
        return;
    for (const std::string& node : root.getMemberNames())
    {
        const Json::Value& values = root[node];
        if (!values.isObject())
            continue;
        Node& stored = nodes_[qv::FromUtf8(node.c_str()).c_str()];
        for (const std::string& path : values.getMemberNames())
            stored[qv::FromUtf8(path.c_str()).c_str()] = values[path];
    }
}

void FakeSettingsStore::Save() const
{
    if (backingFile_.empty())
        return;
    Json::Value root(Json::objectValue);
    for (const auto& node : nodes_)
    {
        Json::Value& values = root[qv::ToUtf8String(node.first.c_str())];
        values = Json::Value(Json::objectValue);
        for (const auto& value : node.second)
            values[qv::ToUtf8String(value.first.c_str())] = value.second;
    }
    const std::filesystem::path target(backingFile_);
    std::filesystem::path temporary = target;
    temporary += L".tmp";
    {
        std::ofstream file(temporary, std::ios::trunc);
        file << Json::writeString(Json::StreamWriterBuilder(), root);
        if (!file)
            return;
    }
    std::error_code ignored;
    std::filesystem::rename(temporary, target, ignored);
}
