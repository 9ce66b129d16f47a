#pragma once
// The commands of partwell-cli. Each takes the arguments after its name and returns the exit
// status.

namespace pw::cli {

int runSplit(int argc, char** argv);
int runDetect(int argc, char** argv);
int runMerge(int argc, char** argv);
int runJoin(int argc, char** argv);
int runVerify(int argc, char** argv);
int runRepair(int argc, char** argv);

}  // namespace pw::cli
