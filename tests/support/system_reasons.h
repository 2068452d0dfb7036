#pragma once
// What the tests of the file system expect from the system itself: the
// texts it gives for the failures they provoke, and a second volume for
// moves across file systems.
#include <optional>
#include <string>

namespace qm::test {

namespace reason {
std::string moveTargetExists();       // a move onto an existing file
std::string copyTargetExists();       // a copy onto an existing file
std::string noSuchFile();             // the file is missing
std::string noSuchFolder();           // a folder on the way is missing
std::string folderGivenAsFile();      // a folder where a file is expected
std::string fileInTheWayOfAFolder();  // a path that goes on below a file
}  // namespace reason

// A new, empty folder (ending with the separator) on another volume than
// the temporary folders, or nothing when the machine has none. POSIX:
// under /dev/shm when that is another file system. Windows: on the drive
// named by QM_TEST_OTHER_DRIVE ("Q:"), which the Wine set-up maps to
// /dev/shm. The caller removes it.
std::optional<std::string> folderOnAnotherVolume();

}  // namespace qm::test
