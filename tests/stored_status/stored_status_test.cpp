#include "malware_monitor/stored_status.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "malware_monitor/malware_status.h"
#include "malware_monitor/status_document.h"
#include "malware_monitor/testing/threat_builders.h"
#include "sdk/value_json.h"

namespace {

using testing_records::Item;
using testing_records::MakeThreat;
using Threat = testing_records::Threat;

// The document the whole list converts to through the value model: list plus held-back items
// joined as a copy of the list would join them.
Json::Value FullConversion(const MalwareList& list, const std::vector<MalwareItem>& held)
{
    MalwareList stored = list;
    for (const MalwareItem& item : held)
        stored.AddUniqueItem(item);
    OwnedMalwareStatus status;
    EXPECT_TRUE(status.ResetDetections(static_cast<uint32_t>(stored.Size())));
    for (const MalwareItem& item : stored.Items())
        EXPECT_TRUE(detection_array::Append(*status.Get().detections, item));
    status.Get().totalDetectionCount = static_cast<uint32_t>(stored.Size());
    status.Get().malwarePresent = stored.Size() != 0;
    qv::Value document;
    EXPECT_TRUE(status_document::FromStatus(status.Get(), document));
    return document.ToJson();
}

std::wstring PathOf(size_t n) { return L"C:\\d\\f" + std::to_wstring(n) + L".exe"; }

class StoredStatusTest : public ::testing::Test
{
protected:
    void ExpectSameAsFullConversion(const char* step)
    {
        SCOPED_TRACE(step);
        const Json::Value* document = stored.Update(list, held);
        ASSERT_NE(document, nullptr);
        EXPECT_EQ(*document, FullConversion(list, held));
        EXPECT_EQ(document->toStyledString(), FullConversion(list, held).toStyledString());
    }

    MalwareList list;
    std::vector<MalwareItem> held;
    StoredStatus stored;
};

TEST_F(StoredStatusTest, FollowsTheListThroughAppendsHeldItemsAndRebuilds)
{
    ExpectSameAsFullConversion("empty");

    list.AddUniqueItem(Item(L"C:\\a.exe", L"Trojan.A"));
    list.AddUniqueItem(Item(L"C:\\\u00e9t\u00e9.exe", L"Worm.\u00c9"));
    ExpectSameAsFullConversion("appended, non-ASCII");

    // Held back: one already listed in other case, one twice, one new.
    held = {Item(L"c:\\A.EXE", L"trojan.a"), Item(L"C:\\h.exe", L"X"), Item(L"C:\\H.EXE", L"x"),
            Item(L"C:\\i.exe", L"Y")};
    ExpectSameAsFullConversion("held back");

    // A held item that reaches the list later must not appear twice.
    list.AddUniqueItem(Item(L"C:\\h.exe", L"X"));
    ExpectSameAsFullConversion("held item listed");

    held.clear();
    ExpectSameAsFullConversion("held items gone");

    // A rebuild in another order with one item missing.
    const std::vector<Threat> threats{MakeThreat(L"C:\\h.exe", L"X"), MakeThreat(L"C:\\a.exe", L"Trojan.A")};
    list.SetItems(threats, held);
    ExpectSameAsFullConversion("rebuilt");

    list.SetItems({}, held);
    ExpectSameAsFullConversion("rebuilt empty");
}

TEST_F(StoredStatusTest, HeldItemsStopAtTheListLimit)
{
    for (size_t i = 0; i < MalwareList::kSizeLimit; ++i)
        list.AddUniqueItem(Item(PathOf(i).c_str(), L"T"));
    held = {Item(L"C:\\one.exe", L"T"), Item(L"C:\\two.exe", L"T")};
    ExpectSameAsFullConversion("one held item fits");

    list.AddUniqueItem(Item(L"C:\\last.exe", L"T"));
    ExpectSameAsFullConversion("none fits");
}

TEST_F(StoredStatusTest, ACopyOfTheListIsConvertedAnew)
{
    list.AddUniqueItem(Item(L"C:\\a.exe", L"T"));
    ExpectSameAsFullConversion("first");

    MalwareList other;
    other.AddUniqueItem(Item(L"C:\\b.exe", L"T"));
    other.AddUniqueItem(Item(L"C:\\c.exe", L"T"));
    list = other;
    ExpectSameAsFullConversion("replaced by assignment");

    // A copy taken before the save grows apart from the list it came from.
    MalwareList copy = list;
    list.AddUniqueItem(Item(L"C:\\d.exe", L"T"));
    ExpectSameAsFullConversion("list grown");
    copy.AddUniqueItem(Item(L"C:\\e.exe", L"T"));
    list = copy;
    ExpectSameAsFullConversion("replaced by the copy");
}

} // namespace
