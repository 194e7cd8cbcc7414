#include <gtest/gtest.h>
#include <windows.h>
#include <aclapi.h>

#include <string>

#include "setup/key_tree.h"
#include "tests/support/test_env.h"

namespace {

// Access a locked key denies to everybody: all but reading and changing its permissions.
constexpr DWORD kDeniedRights = KEY_ALL_ACCESS & ~(READ_CONTROL | WRITE_DAC | SYNCHRONIZE);

class KeyTreeTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kRoot, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &root, nullptr),
              ERROR_SUCCESS);
    RemoveBelowRoot();
  }
  void TearDown() override {
    RemoveBelowRoot();
    RegCloseKey(root);
    RegDeleteKeyW(HKEY_CURRENT_USER, kRoot);
  }

  void Make(const wchar_t* path) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS);
    const DWORD one = 1;
    RegSetValueExW(key, L"Value", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof(one));
    RegCloseKey(key);
  }
  bool Exists(const wchar_t* path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path, 0, READ_CONTROL, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
  }
  HKEY Open(const wchar_t* path) {
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExW(root, path, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    return key;
  }
  // A key nobody may open for anything but its permissions: opening it with full access
  // fails, and so does deleting it.
  static bool SetLocked(HKEY parent, const wchar_t* path, bool locked) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(parent, path, 0, READ_CONTROL | WRITE_DAC, &key) != ERROR_SUCCESS) return false;
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID everyone = nullptr;
    AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone);
    EXPLICIT_ACCESSW rules[2] = {};
    rules[0].grfAccessPermissions = locked ? kDeniedRights : KEY_ALL_ACCESS;
    rules[0].grfAccessMode = locked ? DENY_ACCESS : GRANT_ACCESS;
    rules[0].Trustee.TrusteeForm = TRUSTEE_IS_SID;
    rules[0].Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
    rules[0].Trustee.ptstrName = static_cast<LPWSTR>(everyone);
    rules[1] = rules[0];
    rules[1].grfAccessPermissions = locked ? (READ_CONTROL | WRITE_DAC) : KEY_ALL_ACCESS;
    rules[1].grfAccessMode = GRANT_ACCESS;
    PACL acl = nullptr;
    bool done = SetEntriesInAclW(2, rules, nullptr, &acl) == ERROR_SUCCESS;
    SECURITY_DESCRIPTOR sd;
    done = done && InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION) &&
           SetSecurityDescriptorDacl(&sd, TRUE, acl, FALSE) &&
           RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &sd) == ERROR_SUCCESS;
    if (acl) LocalFree(acl);
    FreeSid(everyone);
    RegCloseKey(key);
    return done;
  }
  void RemoveBelowRoot() {
    SetLocked(root, L"tree\\locked", false);
    SetLocked(root, L"tree\\bmp\\locked", false);
    RegDeleteTreeW(root, L"tree");
  }

  static constexpr const wchar_t* kRoot = L"Software\\LumivexTests\\KeyTree";
  HKEY root = nullptr;
};

// Runs DeleteKeyTree on its own thread: a walk that never ends fails the test instead of
// holding it until the time limit.
bool DeleteWithin(DWORD milliseconds, HKEY parent, HKEY key, const wchar_t* name, bool* finished) {
  struct Call {
    HKEY parent, key;
    const wchar_t* name;
    bool result;
  } call{parent, key, name, false};
  HANDLE thread = CreateThread(
      nullptr, 0,
      [](void* arg) -> DWORD {
        auto* c = static_cast<Call*>(arg);
        c->result = lmx::DeleteKeyTree(c->parent, c->key, c->name);
        return 0;
      },
      &call, 0, nullptr);
  *finished = WaitForSingleObject(thread, milliseconds) == WAIT_OBJECT_0;
  if (!*finished) TerminateThread(thread, 1);
  CloseHandle(thread);
  return call.result;
}

TEST_F(KeyTreeTest, DeletesTheWholeTreeDepthFirst) {
  Make(L"tree\\bmp\\inner\\deeper");
  Make(L"tree\\gif");
  Make(L"tree\\pcx\\inner");
  Make(L"keep");
  bool finished = false;
  EXPECT_TRUE(DeleteWithin(20000, root, Open(L"tree"), L"tree", &finished));
  EXPECT_TRUE(finished);
  EXPECT_FALSE(Exists(L"tree"));
  EXPECT_TRUE(Exists(L"keep"));
  RegDeleteKeyW(root, L"keep");
}

TEST_F(KeyTreeTest, WithoutParentOrKeyNothingIsDeleted) {
  Make(L"tree\\bmp");
  EXPECT_FALSE(lmx::DeleteKeyTree(root, nullptr, L"tree"));
  EXPECT_FALSE(lmx::DeleteKeyTree(nullptr, Open(L"tree"), L"tree"));
  EXPECT_TRUE(Exists(L"tree\\bmp"));
}

TEST_F(KeyTreeTest, AKeyThatCannotBeOpenedIsSkippedAndTheRestGoes) {
  Make(L"tree\\a_first\\inner");
  Make(L"tree\\locked\\inner");
  Make(L"tree\\z_last\\inner");
  ASSERT_TRUE(SetLocked(root, L"tree\\locked", true));
  HKEY probe = nullptr;
  ASSERT_NE(RegOpenKeyExW(root, L"tree\\locked", 0, KEY_ALL_ACCESS, &probe), ERROR_SUCCESS)
      << "the locked key must refuse full access for this test to mean anything";

  bool finished = false;
  EXPECT_FALSE(DeleteWithin(20000, root, Open(L"tree"), L"tree", &finished));
  EXPECT_TRUE(finished);
  EXPECT_FALSE(Exists(L"tree\\a_first"));
  EXPECT_FALSE(Exists(L"tree\\z_last"));
  EXPECT_TRUE(Exists(L"tree\\locked"));
  EXPECT_TRUE(Exists(L"tree"));  // it still holds the locked key
}

// bmp cannot be deleted while it still holds the locked key: it is stepped over as well,
// and the walk goes on with gif.
TEST_F(KeyTreeTest, AKeyThatCannotBeDeletedDeepDownIsSkipped) {
  Make(L"tree\\bmp\\locked\\inner");
  Make(L"tree\\bmp\\other\\inner");
  Make(L"tree\\gif");
  ASSERT_TRUE(SetLocked(root, L"tree\\bmp\\locked", true));

  bool finished = false;
  EXPECT_FALSE(DeleteWithin(20000, root, Open(L"tree"), L"tree", &finished));
  EXPECT_TRUE(finished);
  EXPECT_TRUE(Exists(L"tree\\bmp\\locked"));
  EXPECT_FALSE(Exists(L"tree\\bmp\\other"));
  EXPECT_FALSE(Exists(L"tree\\gif"));
}

}  // namespace
