#include "sdk/value_json.h"

#include <cmath>
#include <string>
#include <unordered_map>
#include <vector>

#include "sdk/utf8.h"
#include "sdk/value_nodes.h"

namespace qv {

using value_detail::MakeNode;

namespace {

Json::Value NumberToJson(double number)
{
    // Integral numbers go out as integers; NaN, infinities and what a signed 64-bit
    // integer cannot hold stay doubles.
    if (std::fabs(number - std::floor(number)) == 0 && number >= -9223372036854775808.0 &&
        number < 9223372036854775808.0)
        return Json::Value(static_cast<Json::Int64>(number));
    return Json::Value(number);
}

} // namespace

// Iterative at any depth. A container gets all its slots before their addresses are taken,
// and a failure releases the partial result.
Value Value::FromJson(const Json::Value& json)
{
    struct Pending
    {
        const Json::Value* source;
        Value* target;
    };
    Value result;
    std::vector<Pending> pending;
    pending.push_back({&json, &result});
    while (!pending.empty())
    {
        const Pending next = pending.back();
        pending.pop_back();
        const Json::Value& source = *next.source;
        if (source.isBool())
        {
            *next.target = Value(source.asBool());
        }
        else if (source.isNumeric() || source.isDouble())
        {
            *next.target = Value(source.asDouble());
        }
        else if (source.isString())
        {
            *next.target = Value(FromUtf8(source.asCString()));
        }
        else if (source.isArray())
        {
            const Json::ArrayIndex count = source.size();
            Value array(MakeNode<ArrayValue>());
            for (Json::ArrayIndex i = 0; i < count; ++i)
                array.Array().items->Append(Value());
            *next.target = std::move(array);
            Value* slots = next.target->Array().items->items;
            for (Json::ArrayIndex i = count; i-- > 0;)
                pending.push_back({&source[i], &slots[i]});
        }
        else if (source.isObject())
        {
            // Distinct member names can convert to the same key (a cut at an embedded zero,
            // replaced invalid UTF-8): the later member wins, as repeated assignment would.
            Value dict(MakeNode<DictValue>());
            std::unordered_map<std::wstring, uint32_t> positions;
            std::vector<const Json::Value*> sources;
            for (auto member = source.begin(); member != source.end(); ++member)
            {
                WString key = FromUtf8(member.name().c_str());
                const auto placed =
                    positions.emplace(std::wstring(key.c_str(), key.GetLength()), static_cast<uint32_t>(sources.size()));
                if (!placed.second)
                {
                    sources[placed.first->second] = &*member;
                    continue;
                }
                sources.push_back(&*member);
                dict.Dict().keys->Append(std::move(key));
                dict.Dict().values->Append(Value());
            }
            *next.target = std::move(dict);
            Value* slots = next.target->Dict().values->items;
            for (size_t i = sources.size(); i-- > 0;)
                pending.push_back({sources[i], &slots[i]});
        }
        // Anything else is null, which the target already is.
    }
    return result;
}

Json::Value Value::ToJson() const
{
    struct Pending
    {
        const Value* source;
        Json::Value* target;
        uint32_t level;
    };
    Json::Value result;
    std::vector<Pending> pending;
    pending.push_back({this, &result, 1});
    std::vector<Pending> children;
    while (!pending.empty())
    {
        const Pending next = pending.back();
        pending.pop_back();
        const Value& source = *next.source;
        Json::Value& target = *next.target;
        const int type = source.GetType();
        switch (type)
        {
        case kBool:
            target = Json::Value(static_cast<const BoolValue*>(source.node_)->flag != 0);
            break;
        case kNumber:
            target = NumberToJson(static_cast<const NumberValue*>(source.node_)->number);
            break;
        case kString:
            target = Json::Value(ToUtf8(static_cast<const StringValue*>(source.node_)->text).c_str());
            break;
        case kArray:
        case kDict:
        {
            const uint32_t count = source.Size();
            if (count != 0 && next.level >= kMaxJsonDepth)
                break;
            // JsonCpp keeps array elements and members in a map: these references stay valid.
            children.clear();
            if (type == kArray)
            {
                target = Json::Value(Json::arrayValue);
                for (uint32_t i = 0; i < count; ++i)
                    children.push_back({&source.Array().items->items[i], &target.append(Json::Value()), next.level + 1});
            }
            else
            {
                target = Json::Value(Json::objectValue);
                const DictValue& dict = source.Dict();
                for (uint32_t i = 0; i < count; ++i)
                    children.push_back(
                        {&dict.values->items[i], &target[ToUtf8(dict.keys->items[i]).c_str()], next.level + 1});
            }
            // Converted in order, each subtree finished before the next entry starts: when two
            // keys share a UTF-8 form, the later one overwrites a completed member.
            pending.insert(pending.end(), children.rbegin(), children.rend());
            break;
        }
        default:
            break;
        }
    }
    return result;
}

} // namespace qv
