#pragma once
// Start-up texts that are longer than a line.
namespace qm::texts {

inline constexpr const char* kFirstRunQuestion = "Do you wish to periodically check for updates automatically?";

inline constexpr const char* kDonation =
    "It looks like you have just installed or updated to a new version of the Quillmere."
    "\n\n"
    "I have put countless hours into programming software.  This takes up a considerable amount of my free "
    "time.  None of the Freeware or Shareware I have created to date contains any time use limitations, no "
    "functionality limitations, and no annoying popups. This is the one place where I ask for your support."
    "\n\n"
    "Please consider making a donation.  If you choose not to, this version of the application is still free "
    "to use and I hope you find it useful.  If you change your mind at a later date, you can donate by using "
    "the link on the Help menu. Thank you.";

}  // namespace qm::texts
