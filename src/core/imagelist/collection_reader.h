#pragma once
// Reading a collection into the image list: the collection's cached
// records in the order the list last had, then its listed files in the
// collection's order (the plan of library/collection_show.h), made into
// entries the way a folder's are. A collection has no folder to watch.
//
// Runs on the user-interface thread with the workers stopped.

#include "imagelist/folder_reader.h"
#include "library/collection.h"

#include <memory>

namespace qlx::imagelist {

// `dropMissingCached` is the setting that leaves deleted files out of the
// list the next time it is shown.
FolderReadResult readCollection(ImageList& list, const library::Collection& collection,
                                std::shared_ptr<const cache::CacheFile> cache, const FolderReadOptions& options,
                                bool dropMissingCached);

} // namespace qlx::imagelist
