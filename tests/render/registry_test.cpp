#include "render/fw/registry.h"
#include "vt_fixture.h"

using namespace vttest;

TEST(VtNamePattern, Table) {
    struct Case {
        const char *pattern;
        const char *name;
        vt_boolean match;
    } cases[] = {
        {"*", "", 1},          {"?", "", 0},        {"AB*", "abc", 1},   {"a*c", "abd", 0},
        {"a*c", "abxxc", 1},   {"abc/def", "abc", 1}, {"abc/def", "abcd", 0}, {nullptr, "x", 1},
        {nullptr, nullptr, 1}, {"x", nullptr, 0},   {"a?c", "aBc", 1},   {"a?c", "ac", 0},
        {"_x1", "_X1", 1},     {"[", "{", 0},       {"\xe4", "\xc4", 0}, {"*_O", "DESTINATION_O", 1},
        {"**", "", 1},         {"*a", "bbb", 0},    {"/", "", 1},        {"", "a", 0},
    };
    for (const Case &c : cases)
        EXPECT_EQ(VtNamePatternMatch(c.pattern, c.name), c.match)
            << (c.pattern ? c.pattern : "(null)") << " vs " << (c.name ? c.name : "(null)");
}

namespace {
struct Item {
    void *reserved;
    const char *identifier;
};
Item hooked = {nullptr, "from-hook"};
void *hook(const char *) { return &hooked; }
} // namespace

class VtRegistryTest : public VtTest {};

TEST_F(VtRegistryTest, FindCountEnumRemove) {
    Item a1 = {nullptr, "alpha"}, a2 = {nullptr, "alpha"}, b = {nullptr, "beta"}, stranger = {nullptr, "x"};
    vt_registry reg{};
    VtRegistryNew(&reg);
    void *items[] = {&a1, &b, &a2};
    EXPECT_EQ(VtRegistryAddMany(&reg, items, 3), 3);
    EXPECT_EQ(VtRegistryFind(&reg, "ALPHA"), &a2) << "the one registered last";
    EXPECT_EQ(VtRegistryFind(&reg, "gamma"), nullptr);
    EXPECT_EQ(VtRegistryCount(&reg, nullptr), 3);
    EXPECT_EQ(VtRegistryCount(&reg, "a*"), 2);

    void *found[4];
    EXPECT_EQ(VtRegistryFindMany(&reg, "*", found, 2), 2);
    EXPECT_EQ(found[0], &a2);
    EXPECT_EQ(found[1], &b);

    int calls = 0;
    auto stopAtBeta = [](void *item, void *arg) -> int {
        ++*static_cast<int *>(arg);
        return static_cast<Item *>(item)->identifier[0] == 'b' ? 42 : 0;
    };
    EXPECT_EQ(VtRegistryEnum(&reg, nullptr, stopAtBeta, &calls), 42);
    EXPECT_EQ(calls, 2);

    reg.find_failed_hook = hook;
    EXPECT_EQ(VtRegistryFind(&reg, "gamma"), &hooked);
    EXPECT_EQ(VtRegistryCount(&reg, nullptr), 3) << "the hook leaves the registry unchanged";

    EXPECT_EQ(VtRegistryRemove(&reg, &stranger), nullptr);
    EXPECT_EQ(VtRegistryCount(&reg, nullptr), 3);
    EXPECT_EQ(VtRegistryRemoveMany(&reg, items, 0), 0);
    EXPECT_EQ(VtRegistryRemove(&reg, &a2), &a2);
    EXPECT_EQ(VtRegistryFind(&reg, "alpha"), &a1);
    EXPECT_EQ(VtRegistryRemoveMany(&reg, items, 3), 2);
    EXPECT_EQ(VtRegistryCount(&reg, nullptr), 0);

    VtRegistryAdd(&reg, &b);
    VtRegistryClear(&reg);
    EXPECT_EQ(VtRegistryCount(&reg, nullptr), 0);
    EXPECT_EQ(VtRegistryNewStatic(nullptr, nullptr, 0), nullptr);
}

TEST_F(VtRegistryTest, AddFailsCleanlyWhenNoEntryCanBeAllocated) {
    Item a = {nullptr, "a"};
    vt_registry reg{};
    VtRegistryNew(&reg);
    static vt_allocator empty = {"empty", [](vt_size, vt_uint_8) -> void * { return nullptr; }, [](void *) {},
                                 [](vt_uint_8) -> vt_size { return 0; }, nullptr};
    vt_allocator *old = VtAllocatorSet(&empty);
    EXPECT_EQ(VtRegistryAdd(&reg, &a), nullptr);
    VtAllocatorSet(old);
    EXPECT_EQ(VtRegistryCount(&reg, nullptr), 0);
}

TEST(VtLists, DoublyLinked) {
    vt_list list;
    VtNewList(&list);
    EXPECT_EQ(VtRemHead(&list), nullptr);
    EXPECT_EQ(VtRemTail(&list), nullptr);
    vt_node a, b, c;
    VtAddHead(&list, &b);
    VtAddHead(&list, &a);
    VtAddTail(&list, &c);
    std::vector<vt_node *> order;
    for (vt_node *n = VtListFirst(&list); n; n = VtListNext(n))
        order.push_back(n);
    EXPECT_EQ(order, (std::vector<vt_node *>{&a, &b, &c}));
    VtRemove(&b);
    vt_node d;
    VtInsert(&list, &a, &d);
    EXPECT_EQ(VtRemTail(&list), &c);
    EXPECT_EQ(VtRemHead(&list), &a);
    EXPECT_EQ(VtRemHead(&list), &d);
    EXPECT_TRUE(VtListEmpty(&list));
}

TEST(VtLists, SimpleNodesUnlinkThemselves) {
    vt_simple_list list;
    VtSimpleNewList(&list);
    EXPECT_EQ(VtSimpleRemHead(&list), nullptr);
    vt_simple_node a, b, c;
    VtSimpleAddHead(&list, &c);
    VtSimpleAddHead(&list, &a);
    VtSimpleInsert(&list, &a, &b);
    EXPECT_EQ(list, &a);
    EXPECT_EQ(a.next, &b);
    EXPECT_EQ(b.next, &c);
    EXPECT_EQ(VtSimpleRemove(&b), &b); // without naming the list
    EXPECT_EQ(b.next, nullptr);
    EXPECT_EQ(b.prev, nullptr);
    EXPECT_EQ(a.next, &c);
    EXPECT_EQ(c.prev, &a.next);
    EXPECT_EQ(VtSimpleRemHead(&list), &a);
    EXPECT_EQ(list, &c);
    EXPECT_EQ(c.prev, &list);
}
