#pragma once

// Linux-only test helpers for saves that fail part-way or are refused: a
// file-size limit and permission bits that bind even root.
#include <csignal>
#include <cstdint>

#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace test_support {

// While this lives, files may grow to `bytes` only: a write beyond fails
// instead of ending the process.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) : previous_handler_(std::signal(SIGXFSZ, SIG_IGN)) {
        getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit small = previous_;
        small.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previous_handler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit previous_{};
    void (*previous_handler_)(int);
};

// While this lives, permission bits bind this thread even when it runs as
// root, so that a read-only directory refuses new files, and a sticky one the
// replacing of another user's file, as they would for any other user.
class PermissionBitsApply {
public:
    PermissionBitsApply() {
        if (geteuid() != 0) return;
        syscall(SYS_capget, &header_, data_);
        previous_effective_ = data_[0].effective;
        data_[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER));
        syscall(SYS_capset, &header_, data_);
    }
    ~PermissionBitsApply() {
        if (geteuid() != 0) return;
        data_[0].effective = previous_effective_;
        syscall(SYS_capset, &header_, data_);
    }
    PermissionBitsApply(const PermissionBitsApply&) = delete;
    PermissionBitsApply& operator=(const PermissionBitsApply&) = delete;

private:
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data_[2]{};
    std::uint32_t previous_effective_ = 0;
};

}  // namespace test_support
