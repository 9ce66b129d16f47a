#pragma once
// What partwell-cli says. The texts are English; po/ holds their translations, looked up with
// tr() at the moment they are printed. N_() marks a text for the catalogue without looking it up.

#include <string>

namespace pw::cli {

#define N_(text) text

// The text in the user's language (as LANGUAGE, LC_ALL, LC_MESSAGES and LANG choose).
const char* tr(const char* english);

// Picks the user's language and finds the catalogues.
void setUpLanguage();

inline constexpr std::string_view kPrefix = "partwell-cli: ";

inline constexpr const char* kUsage =
    N_("Usage: partwell-cli COMMAND [OPTIONS] PATH...\n"
       "\n"
       "Commands:\n"
       "  split    cut files into parts\n"
       "  merge    join files into one\n"
       "  detect   tell the text encoding of files\n"
       "  join     join a split's parts back into the original, checked by its manifest\n"
       "  verify   check parts against their manifest\n"
       "  repair   rebuild damaged or missing files from PAR2 recovery files\n"
       "\n"
       "Run 'partwell-cli COMMAND --help' for a command's options, 'partwell-cli --version' for\n"
       "the version.\n");
inline constexpr const char* kHelpOption = N_("show this text");

inline constexpr const char* kUnknownCommand = N_("unknown command: ");
inline constexpr const char* kUnknownOption = N_("unknown option: ");
inline constexpr const char* kMissingValue = N_("the option needs a value: ");
inline constexpr const char* kBadUnit = N_("the unit must be B, KB, MB or GB: ");
inline constexpr const char* kFixNeedsDetect = N_("--fix-line-breaks needs --detect-encoding");
inline constexpr const char* kNoPaths = N_("no file or folder given");
inline constexpr const char* kTakenAsGb = N_("a size without a unit is taken as GB: ");
inline constexpr const char* kWriteError = N_("write error: ");
inline constexpr const char* kBadNumber = N_("not a usable number: ");
inline constexpr const char* kNoPatterns = N_("--types holds no pattern: ");
inline constexpr const char* kCannotRead = N_("cannot read: ");
inline constexpr const char* kNotAFolder = N_("not a folder: ");
inline constexpr const char* kBadHeadingPattern =
    N_("--heading-regex does not compile (%s, at character %zu): ");
inline constexpr const char* kAlignNeedsParts = N_("--align works with --parts only");
inline constexpr const char* kWholeLinesNeedsBytes =
    N_("--whole-lines works with --parts or --size only");
inline constexpr const char* kHeaderNeedsLines =
    N_("--header and --csv work with --lines, --parts or --size only");
inline constexpr const char* kBadHeaderCount = N_("--header takes a line count of at least 1: ");
inline constexpr const char* kJoinFilesNeedBytes =
    N_("--crc and --join-script work with --parts and --size only: the other modes' parts do "
       "not join back byte for byte");
inline constexpr const char* kNameWithRename =
    N_("--rename-by-content and --name: put {first} into the template instead");
inline constexpr const char* kPresetParts = N_("%lld parts of at most %lld bytes (%s)");
inline constexpr const char* kPresetOnePart = N_("%lld part of at most %lld bytes (%s)");

// Summaries.
inline constexpr const char* kSplitSummary = N_("parts written: ");
inline constexpr const char* kMergeSummary = N_("files written: ");
inline constexpr const char* kFailedParts = N_(", parts that could not be written: ");
inline constexpr const char* kFailedOutputs = N_(", files that could not be written: ");
inline constexpr const char* kUnreadable = N_(", files that could not be read: ");
inline constexpr const char* kUndeleted = N_(", files that could not be deleted: ");
inline constexpr const char* kKeptForReplacements =
    N_(", files kept because characters were replaced in a conversion: ");
inline constexpr const char* kFewerParts =
    N_("fewer parts than asked: the part size was rounded up to the block size of ");
inline constexpr const char* kDryRunSummary =
    N_("nothing was written (--dry-run); files that would be written: ");
inline constexpr const char* kBytes = N_(" bytes");

// The progress line: bytes done and total, files done and total, speed, time left.
inline constexpr const char* kProgress = N_("%s of %s, file %lld of %lld, %s/s, %s left");
inline constexpr const char* kProgressNoTotal = N_("%s, file %lld of %lld, %s/s");

// partwell-cli detect.
inline constexpr const char* kDetectUsage =
    N_("Usage: partwell-cli detect [OPTIONS] PATH...\n"
       "\n"
       "Prints the text encoding of every file: the name (GBK, UTF-8, UTF-16LE, UTF-16BE, BIG5 or\n"
       "BIG5-HKSCS), a tab and the path. gzip-compressed files are looked into.\n"
       "\n"
       "Options:\n"
       "  --decode    write the text of the one file given to standard output in UTF-8; the\n"
       "              encoding line then goes to standard error\n"
       "  --progress  show the progress line even when standard error is no terminal\n"
       "  --quiet     show no progress line\n"
       "  --help      show this text\n"
       "\n"
       "Exit status: 0 when every file was read, 1 when a file could not be read, 2 when an\n"
       "option was refused.\n");
inline constexpr const char* kBadChapterCount = N_("not a whole number above 0: ");
inline constexpr const char* kOversizedPart =
    N_(": one record longer than the part size, written as a part of its own");
inline constexpr const char* kNoHeadings = N_(": no chapter heading found, nothing written");
inline constexpr const char* kDecodeNeedsOneFile = N_("--decode takes exactly one file");

// Checksum manifests, join and verify.
inline constexpr const char* kBadRecovery =
    N_("--recovery takes a number of parts above 0 or a percentage from 1% to 100%: ");
inline constexpr const char* kRecoveryWritten = N_("recovery files written: ");
inline constexpr const char* kRecoveryVolumes = N_("recovery volumes written beside them: ");
inline constexpr const char* kRecoveryNotUtf8 =
    N_(": a name of it or of its parts is not UTF-8, which recovery files must name them in; no "
       "recovery files were written for it, and it was not deleted");
inline constexpr const char* kStaleRemoved = N_("unchanged parts of an earlier split removed: ");
inline constexpr const char* kStaleKept =
    N_(": left from an earlier split, kept (it is no part of this split)");
inline constexpr const char* kJoinUsage =
    N_("Usage: partwell-cli join [OPTIONS] PATH\n"
       "\n"
       "Joins a split's parts back into the original file. PATH is the split's manifest\n"
       "(<name>.sha256), any one of its parts, or the folder that holds them. Without a manifest\n"
       "the parts are the files <stem>_1.<ext>, <stem>_2.<ext> ... beside the one given.\n"
       "\n"
       "Every part must be there with its recorded size before anything is written; the joined\n"
       "file is checked against the original's SHA-256 before it takes the original's name in\n"
       "the folder the split took it from. An existing file is never replaced: the next free\n"
       "name 'name (2).ext' is taken, and said so. Parts written by a text mode that changed the\n"
       "text (or without a manifest) are refused: 'partwell-cli merge' joins them.\n"
       "\n"
       "Options:\n");
inline constexpr const char* kJoinExit =
    N_("\nExit status: 0 when the original was written, 1 when not (each reason on standard\n"
       "error), 2 when an option was refused.\n");
inline constexpr const char* kVerifyUsage =
    N_("Usage: partwell-cli verify [--source FILE] PATH\n"
       "\n"
       "Checks every part a manifest lists (PATH is the manifest or the folder that holds it),\n"
       "as sha256sum -c does: one line a part (OK, MISSING, WRONG SIZE, CHANGED) and a summary.\n"
       "\n"
       "  --source FILE  also check FILE against the original the manifest records\n"
       "  --help         show this text\n"
       "\n"
       "Exit status: 0 when everything checked is OK, 1 otherwise, 2 when an option was "
       "refused.\n");
inline constexpr const char* kOnePath = N_("give one path only: ");
inline constexpr const char* kNameTaken = N_(" exists; the original was written as ");
inline constexpr const char* kUndeletedParts = N_("parts or manifest that could not be deleted: ");
inline constexpr const char* kNoParts = N_("no split parts found");
inline constexpr const char* kSeveralSets =
    N_("holds the parts of more than one split; name a manifest or a part");
inline constexpr const char* kManifestDamaged = N_("the manifest cannot be used");
inline constexpr const char* kPartMissing = N_("missing part");
inline constexpr const char* kUnlistedParts =
    N_(" files numbered as parts that their manifest does not list (left from an earlier "
       "split?) were neither joined nor deleted: ");
inline constexpr const char* kRestored =
    N_(": the original, joined from the parts its manifest lists and checked against its "
       "SHA-256");
inline constexpr const char* kPartWrongSize = N_("the part does not have its recorded size");
inline constexpr const char* kPartChanged = N_("the part was changed since the split");
inline constexpr const char* kNotExact = N_("these parts cannot give back the original exactly");
inline constexpr const char* kUseMerge = N_("; 'partwell-cli merge' joins them as they are");
inline constexpr const char* kCannotBeRead = N_("cannot be read");
inline constexpr const char* kWriteFailed = N_("could not be written");
inline constexpr const char* kOutputChanged =
    N_("every part matches, yet the joined file is not the recorded original: the manifest "
       "was changed");
inline constexpr const char* kStopped = N_("stopped");
inline constexpr const char* kOutsideLink =
    N_("a link to a file outside the set's folder: not read");
inline constexpr const char* kSizeDisagrees =
    N_("the parts join into the recorded original, but the manifest records another size for "
       "it: the manifest was changed");
inline constexpr const char* kCompletenessUnchecked =
    N_("no manifest: whether the set is complete could not be checked (a missing last part "
       "cannot be seen)");
inline constexpr const char* kNotAManifest = N_("not a manifest");
inline constexpr const char* kNoManifest = N_("no manifest");
// Details the engines give, in the user's language too.
inline constexpr const char* kEngineDetails[] = {
    N_("the parts differ in size"),
    N_("each part opens with a text mark"),
    N_("it lists a temporary file as a part"),
    N_("a part's name is not a plain file name in the manifest's folder"),
    N_("the original's name is not a plain file name"),
    N_("more parts than any split writes")};
// Before the reason a manifest's line was refused for: the line's number.
inline constexpr const char* kManifestLine = N_("line %s: ");
inline constexpr const char* kNothingWritten = N_("nothing was written");
inline constexpr const char* kDamagedPart =
    N_(": does not hold what the split's manifest records; its folder was not merged");
inline constexpr const char* kOk = N_("OK");
inline constexpr const char* kMissing = N_("MISSING");
inline constexpr const char* kWrongSize = N_("WRONG SIZE");
inline constexpr const char* kChanged = N_("CHANGED");
inline constexpr const char* kUnreadablePart = N_("UNREADABLE");
inline constexpr const char* kOutsideLinkPart = N_("LINK OUT OF THE FOLDER");
inline constexpr const char* kVerifySummary = N_("parts OK: %zu of %zu");

// partwell-cli repair.
inline constexpr const char* kRepairUsage = N_(
    "Usage: partwell-cli repair PATH\n"
    "\n"
    "Rebuilds damaged and missing files from PAR 2.0 recovery files (<name>.par2 and\n"
    "<name>.volA+B.par2, as Partwell and par2cmdline write them). PATH is one of the recovery\n"
    "files, one of the files they protect, or the folder that holds them. Every file is checked\n"
    "(its size, then each slice's checksum); a rebuilt file takes its name only once its MD5\n"
    "is the recorded one. When more is damaged than the recovery files can rebuild, nothing\n"
    "is written. Only the recovery files' own folder is read and written.\n"
    "\n"
    "  --help  show this text\n"
    "\n"
    "Exit status: 0 when every file is whole (or was rebuilt), 1 otherwise, 2 when an option\n"
    "was refused.\n");
inline constexpr const char* kNotRecoveryFile = N_(": no recovery data in it, skipped");
inline constexpr const char* kDamagedPackets = N_(": damaged packets skipped, bytes: ");
inline constexpr const char* kNoRecoveryFiles = N_("no recovery files (.par2) found");
inline constexpr const char* kSeveralRecoverySets =
    N_("holds more than one recovery set; name one of its .par2 files");
inline constexpr const char* kNotInRecoverySet = N_("no recovery file here protects this file");
inline constexpr const char* kNoMainPacket = N_("the recovery files hold no main packet");
inline constexpr const char* kBadMainPacket =
    N_("the main packet of the recovery files cannot be used");
inline constexpr const char* kMissingFilePackets =
    N_("the recovery files lack the description of a file they protect");
inline constexpr const char* kBadFileName =
    N_("a file name in the recovery files is not a plain file name, nothing is used: ");
inline constexpr const char* kTooManySlices = N_("the recovery files describe too many slices");
inline constexpr const char* kDamaged = N_("DAMAGED");
inline constexpr const char* kAllWhole = N_("every file is whole, nothing to repair");
inline constexpr const char* kNotEnoughRecovery =
    N_("cannot repair: %u slices are damaged or missing and the recovery files hold %u usable "
       "recovery slices; %u more are needed. Nothing was written.");
inline constexpr const char* kSingularRecovery =
    N_("these recovery slices cannot rebuild the damaged slices; nothing was written");
inline constexpr const char* kRebuilt = N_("rebuilt: ");
inline constexpr const char* kRepairingFirst =
    N_("parts damaged or missing, rebuilt from the recovery files before the join: ");
// verify: the count of bad parts, then the command that rebuilds them.
inline constexpr const char* kCanRebuild =
    N_("%zu parts damaged or missing; the recovery files can rebuild them: partwell-cli repair ");
inline constexpr const char* kCannotRebuild =
    N_("%zu parts damaged or missing; the recovery files hold too few slices to rebuild them "
       "(%u more are needed)");
inline constexpr const char* kRepairSummary = N_("files rebuilt: ");
inline constexpr const char* kRebuiltWrong =
    N_("the rebuilt file does not have the recorded MD5, it was not kept");

}  // namespace pw::cli
