#include "support/FilePermissionsApply.h"

#include <gtest/gtest.h>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// The capabilities that let the superuser read, write and search past a file's permissions.
constexpr int kPermissionOverrides[] = {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER};

struct ThreadCapabilities {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};

    bool read() { return ::syscall(SYS_capget, &header, data) == 0; }
    bool write() { return ::syscall(SYS_capset, &header, data) == 0; }
};

} // namespace

FilePermissionsApply::FilePermissionsApply() {
    ThreadCapabilities caps;
    if (!caps.read()) {
        ADD_FAILURE() << "the thread's capabilities could not be read";
        return;
    }
    effectiveBefore_[0] = caps.data[0].effective;
    effectiveBefore_[1] = caps.data[1].effective;
    for (const int capability : kPermissionOverrides) {
        caps.data[capability / 32].effective &= ~(1u << (capability % 32));
    }
    if (!caps.write()) {
        ADD_FAILURE() << "the thread's capabilities could not be lowered";
        return;
    }
    changed_ = true;
}

FilePermissionsApply::~FilePermissionsApply() {
    ThreadCapabilities caps;
    if (!changed_ || !caps.read()) {
        return;
    }
    caps.data[0].effective = effectiveBefore_[0];
    caps.data[1].effective = effectiveBefore_[1];
    EXPECT_TRUE(caps.write()) << "the thread's capabilities could not be given back";
}
