// The CUPS backend kestrel-printer: a print queue whose device URI is kestrel-printer:/FOLDER ends
// in a virtual KR printer kept in that folder. Each job's bytes are kept there as job-NNNNNN.prn
// and applied to the printer's state (printer.json); what it prints is written beside them.
//
// Called as CUPS calls backends: without arguments it lists the device it offers; with job-id,
// user, title, copies, options and an optional file it takes one job (from the file, copies times,
// or from standard input). The URI comes from DEVICE_URI; the printer's model, for a folder no job
// has reached yet, from the NickName of the queue's PPD (PPD). Messages go to standard error
// with the "ERROR:", "WARNING:" and "INFO:" prefixes the scheduler logs.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace kestrel::backend {

struct BackendEnvironment {
    std::string deviceUri;  // DEVICE_URI, or argv[0] when that is a URI
    std::string ppdFile;    // PPD, may be empty
};

// The exit status CUPS expects: 0 done, 1 failed (the error policy decides), 4 stop the queue
// (the URI cannot name a printer folder).
int RunBackend(const std::vector<std::string>& args, const BackendEnvironment& environment,
               std::istream& job, std::ostream& out, std::ostream& log);

}  // namespace kestrel::backend
