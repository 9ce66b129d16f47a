#pragma once
// What a merge reads of its options, typed, each value read when it is asked for.

#include "platform/engine_context.h"

namespace pw {

// What stands between two files of a batch.
enum class JoinWith { Nothing, Text, File };

class MergeOptions {
  public:
    virtual ~MergeOptions() = default;

    virtual bool handleEncoding() const = 0;
    virtual bool deleteSources() const = 0;
    virtual bool intoParentFolder() const = 0;
    virtual bool includeSubfolders() const = 0;
    virtual Text fileTypes() const = 0;  // wildcards of the files a folder contributes
    virtual JoinWith joinWith() const = 0;
    virtual Text joinText() const = 0;  // line breaks as CR LF
    virtual Text joinFilePath() const = 0;
    // The folder every output goes to; empty: as intoParentFolder() says.
    virtual Text outputFolder() const { return {}; }
};

// An engine context with the merge's options.
struct MergeContext : EngineContext {
    MergeOptions& options;
};

}  // namespace pw
