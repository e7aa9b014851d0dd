// Helpers for checking members: their documented types (a shared member may be an
// atomic of that type), their values and their declaration order.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

template <typename Member, typename Documented>
constexpr bool kHasDocumentedType =
    std::is_same_v<Member, Documented> || std::is_same_v<Member, std::atomic<Documented>>;

// Every listed member has the documented type: members are grouped by type.
template <typename Documented, typename... Members>
constexpr bool kAllHaveDocumentedType = (kHasDocumentedType<Members, Documented> && ...);

// The declared type of `member` of `Class`, reached through the test access struct.
#define MEMBER_TYPE(Class, member) \
    std::remove_reference_t<decltype(PluginTestAccess::member(std::declval<Class&>()))>

// The value of a plain or atomic member.
template <typename T>
T ValueOf(const T& value) {
    return value;
}
template <typename T>
T ValueOf(const std::atomic<T>& value) {
    return value.load();
}

// Addresses of members named in declaration order must rise: a member declared out of
// order shows up as the first name whose address does not.
using MemberAddressList = std::vector<std::pair<std::string, std::uintptr_t>>;

inline void ExpectDeclarationOrder(const MemberAddressList& members) {
    for (size_t i = 1; i < members.size(); ++i) {
        EXPECT_LT(members[i - 1].second, members[i].second)
            << members[i].first << " is not declared after " << members[i - 1].first;
    }
}
