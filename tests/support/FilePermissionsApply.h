#pragma once

// While one of these lives, file permissions bind the calling thread even for the superuser: the
// capabilities that pass over them leave the thread's effective set until the end. (A normal
// user has none to leave.) The code under test must run on this thread.

#include <gtest/gtest.h>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

class FilePermissionsApply {
  public:
    FilePermissionsApply() {
        EXPECT_EQ(::syscall(SYS_capget, &header_, before_), 0);
        __user_cap_data_struct lowered[2] = {before_[0], before_[1]};
        for (const int capability : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER}) {
            lowered[capability / 32].effective &= ~(1u << (capability % 32));
        }
        EXPECT_EQ(::syscall(SYS_capset, &header_, lowered), 0);
    }
    ~FilePermissionsApply() { EXPECT_EQ(::syscall(SYS_capset, &header_, before_), 0); }
    FilePermissionsApply(const FilePermissionsApply&) = delete;
    FilePermissionsApply& operator=(const FilePermissionsApply&) = delete;

  private:
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct before_[2]{};
};
