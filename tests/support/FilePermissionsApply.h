#pragma once

// While one of these lives, the file permissions bind the calling thread even when it runs as
// the superuser: the capabilities that pass over them are taken out of the thread's effective
// set, and given back at the end. For a normal user there are none to take; either way a
// folder without write permission refuses a new file and a file without read permission
// refuses to be opened, by the kernel itself. The code under test must run on this thread.
class FilePermissionsApply {
  public:
    FilePermissionsApply();
    ~FilePermissionsApply();
    FilePermissionsApply(const FilePermissionsApply&) = delete;
    FilePermissionsApply& operator=(const FilePermissionsApply&) = delete;

  private:
    unsigned effectiveBefore_[2] = {0, 0};
    bool changed_ = false;
};
