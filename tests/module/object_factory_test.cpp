#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "module/exported_object_declaration.h"
#include "module/iqv_base_interface.h"
#include "module/object_factory.h"
#include "module/object_registry.h"
#include "module/registry_ref.h"

namespace {

struct IGadget
{
    static constexpr InterfaceId kId{0x11111111, 0x22222222, 0x33333333, 0x44444444};
    virtual int Answer() = 0;

protected:
    ~IGadget() = default;
};

constexpr InterfaceId kUnsupportedId{1, 2, 3, 4};

// Counts its constructions and live instances so tests see what the factory built and destroyed.
template <int Tag>
class CountedObject final : public IQvBaseInterface, public IGadget
{
public:
    CountedObject()
    {
        ++constructed;
        ++alive;
    }
    ~CountedObject() { --alive; }

    void* QueryInterface(InterfaceId id) override
    {
        if (id == IQvBaseInterface::kId)
            return static_cast<IQvBaseInterface*>(this);
        if (id == IGadget::kId)
            return static_cast<IGadget*>(this);
        return nullptr;
    }
    int Answer() override { return Tag; }

    static inline int constructed = 0;
    static inline int alive = 0;
};

using Widget = CountedObject<1>;
using Sprocket = CountedObject<2>;

// Answers no id at all, not even its base interface.
class Mute final : public IQvBaseInterface
{
public:
    Mute() { ++alive; }
    ~Mute() { --alive; }
    void* QueryInterface(InterfaceId) override { return nullptr; }
    static inline int alive = 0;
};

class ObjectFactoryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(SharedRegistry().ReferenceCount(), 0) << "an earlier test left a declaration";
        Widget::constructed = Widget::alive = 0;
        Sprocket::constructed = Sprocket::alive = 0;
    }
    void TearDown() override
    {
        EXPECT_EQ(Widget::alive, 0);
        EXPECT_EQ(Sprocket::alive, 0);
    }
};

TEST_F(ObjectFactoryTest, CreatesWithTheRequestedInterfaceAndDestroysThroughAnyOfThem)
{
    ExportedObjectDeclaration<Widget> widgets(L"Test.Widget");

    void* base = nullptr;
    ASSERT_EQ(CreateExportedObject(L"Test.Widget", IQvBaseInterface::kId, &base), 0u);
    void* gadget = nullptr;
    ASSERT_EQ(CreateExportedObject(L"Test.Widget", IGadget::kId, &gadget), 0u);
    EXPECT_EQ(Widget::alive, 2);
    EXPECT_EQ(static_cast<IGadget*>(gadget)->Answer(), 1);
    EXPECT_NE(gadget, base) << "the second interface lies beyond the primary one";

    DestroyExportedObject(L"Test.Widget", gadget);
    EXPECT_EQ(Widget::alive, 1);
    DestroyExportedObject(L"Test.Widget", base);
    EXPECT_EQ(Widget::alive, 0);
}

class UnknownNameTest : public ObjectFactoryTest, public ::testing::WithParamInterface<const wchar_t*> {};

TEST_P(UnknownNameTest, GivesNotFoundAndBuildsNothing)
{
    ExportedObjectDeclaration<Widget> widgets(L"Test.Widget");
    void* object = &object;
    EXPECT_EQ(CreateExportedObject(GetParam(), IQvBaseInterface::kId, &object), static_cast<uint32_t>(ERROR_NOT_FOUND));
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(Widget::constructed, 0);
}

INSTANTIATE_TEST_SUITE_P(Names, UnknownNameTest,
                         ::testing::Values(L"test.widget", L"TEST.WIDGET", L"Test.Widget ", L" Test.Widget",
                                           L"Test.Widge", L"Test.Widgets", L""));

TEST_F(ObjectFactoryTest, NullNameGivesNotFound)
{
    ExportedObjectDeclaration<Widget> widgets(L"Test.Widget");
    void* object = &object;
    EXPECT_EQ(CreateExportedObject(nullptr, IQvBaseInterface::kId, &object), static_cast<uint32_t>(ERROR_NOT_FOUND));
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(CreateExportedObject(L"Test.Widget", IQvBaseInterface::kId, nullptr),
              static_cast<uint32_t>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(Widget::constructed, 0);
    DestroyExportedObject(nullptr, &object);
    DestroyExportedObject(L"Test.Widget", nullptr);
}

TEST_F(ObjectFactoryTest, UnsupportedInterfaceBuildsAndDestroysOneObject)
{
    ExportedObjectDeclaration<Widget> widgets(L"Test.Widget");
    void* object = &object;
    EXPECT_EQ(CreateExportedObject(L"Test.Widget", kUnsupportedId, &object), static_cast<uint32_t>(ERROR_NOT_FOUND));
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(Widget::constructed, 1);
    EXPECT_EQ(Widget::alive, 0);
}

TEST_F(ObjectFactoryTest, ObjectWithoutBaseInterfaceIsNotKept)
{
    ExportedObjectDeclaration<Mute> mutes(L"Test.Mute");
    void* object = &object;
    EXPECT_EQ(CreateExportedObject(L"Test.Mute", IQvBaseInterface::kId, &object), static_cast<uint32_t>(ERROR_NOT_FOUND));
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(Mute::alive, 0);
}

TEST_F(ObjectFactoryTest, DestroyLeavesObjectsOfOtherClassesAlone)
{
    ExportedObjectDeclaration<Widget> widgets(L"Test.Widget");
    ExportedObjectDeclaration<Sprocket> sprockets(L"Test.Sprocket");
    void* widget = nullptr;
    ASSERT_EQ(CreateExportedObject(L"Test.Widget", IQvBaseInterface::kId, &widget), 0u);

    DestroyExportedObject(L"Test.Sprocket", widget);
    DestroyExportedObject(L"Test.Unregistered", widget);
    EXPECT_EQ(Widget::alive, 1);

    // An object the factory did not make, of a class it does not know.
    auto foreign = std::make_unique<CountedObject<3>>();
    DestroyExportedObject(L"Test.Widget", static_cast<IQvBaseInterface*>(foreign.get()));
    EXPECT_EQ(CountedObject<3>::alive, 1);
    foreign.reset();

    DestroyExportedObject(L"Test.Widget", widget);
    EXPECT_EQ(Widget::alive, 0);
}

TEST_F(ObjectFactoryTest, FirstRegistrationWinsAndEitherUnloadRemovesTheName)
{
    for (const bool unloadFirst : {true, false})
    {
        SCOPED_TRACE(unloadFirst ? "unloading the first declaration" : "unloading the second declaration");
        auto first = std::make_unique<ExportedObjectDeclaration<Widget>>(L"Test.Shared");
        auto second = std::make_unique<ExportedObjectDeclaration<Sprocket>>(L"Test.Shared");

        void* gadget = nullptr;
        ASSERT_EQ(CreateExportedObject(L"Test.Shared", IGadget::kId, &gadget), 0u);
        EXPECT_EQ(static_cast<IGadget*>(gadget)->Answer(), 1) << "the first declaration keeps the name";
        DestroyExportedObject(L"Test.Shared", gadget);

        if (unloadFirst)
            first.reset();
        else
            second.reset();
        void* object = &object;
        EXPECT_EQ(CreateExportedObject(L"Test.Shared", IGadget::kId, &object), static_cast<uint32_t>(ERROR_NOT_FOUND));
        EXPECT_EQ(object, nullptr);
    }
    EXPECT_EQ(Sprocket::constructed, 0);
}

TEST_F(ObjectFactoryTest, RegistryLivesAsLongAsADeclarationOrACall)
{
    {
        ExportedObjectDeclaration<Widget> widgets(L"Test.Widget");
        ExportedObjectDeclaration<Sprocket> sprockets(L"Test.Sprocket");
        EXPECT_EQ(SharedRegistry().ReferenceCount(), 2);
    }
    EXPECT_EQ(SharedRegistry().ReferenceCount(), 0);

    for (const wchar_t* name : {L"Test.Widget", L"Test.Sprocket"})
    {
        void* object = &object;
        EXPECT_EQ(CreateExportedObject(name, IQvBaseInterface::kId, &object), static_cast<uint32_t>(ERROR_NOT_FOUND));
        EXPECT_EQ(object, nullptr);
        EXPECT_EQ(SharedRegistry().ReferenceCount(), 0) << "the call's own reference is dropped again";
    }
}

TEST(ObjectRegistryTest, KeepsTheFirstConstructorOfAName)
{
    ObjectRegistry registry;
    struct NullConstructor final : IObjectConstructor
    {
        IQvBaseInterface* Create() override { return nullptr; }
        void Destroy(IQvBaseInterface*) override {}
        bool IsSingleton() override { return false; }
    } first, second;

    EXPECT_EQ(registry.Register(L"Name", &first), 0u);
    EXPECT_EQ(registry.Register(L"Name", &second), static_cast<uint32_t>(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(registry.Register(L"Name2", &second), 0u);
    EXPECT_EQ(registry.Lookup(L"Name"), &first);
    EXPECT_EQ(registry.Lookup(L"name"), nullptr);

    registry.Unregister(L"Name");
    EXPECT_EQ(registry.Lookup(L"Name"), nullptr);
    EXPECT_EQ(registry.Lookup(L"Name2"), &second);
}

} // namespace
