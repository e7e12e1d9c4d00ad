#pragma once
// One collection: a name and the ordered list of its files.
//
// The list is kept as the text of the collection's file describes it: lines
// of full paths, each ended by a line feed. The lines are held as they were
// read, so a collection that was not changed is written back unit for unit;
// lines that cannot be entries (empty, too long for the entry's path field)
// stay in the text but are not listed. A last piece without a line feed is
// not part of the list either; it is kept at the end of the text, and new
// paths are added before it, so that neither it nor the new path is lost by
// running the two together.
//
// Two paths are the same file when their texts are equal unit for unit:
// Linux file systems tell /x/IMG.JPG and /x/img.jpg apart. Adding a path
// that is already listed changes nothing; removing a path removes every
// line that is that path.
//
// A collection whose file could not be read (missing permission, a read
// error, a file beyond the size cap) starts empty and is read-only: nothing
// may be added, removed or reordered, and it is never saved, so the file on
// disk is never replaced by a text that lacks what the file holds.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

namespace qlx::library {

enum class CollectionProblem {
    None,
    Unreadable, // the file could not be opened or read
    TooLarge,   // the file is bigger than kMaxCollectionFileBytes
};

enum class AppendResult {
    Appended,
    AlreadyListed,
    InvalidPath, // empty, longer than kMaxPathUnits, or holding a line feed or NUL
    Full,        // the text would grow past kMaxCollectionTextUnits
    ReadOnly,    // the collection's file could not be read
    // Given by the store only:
    NotShownKind,     // not a kind the image list shows
    NoSuchCollection, // no collection at that index
};

class Collection {
public:
    // A new, empty collection.
    explicit Collection(std::u16string name);
    // A collection as its file holds it.
    Collection(std::u16string name, std::u16string_view text);
    // A collection whose file could not be read: empty and read-only.
    Collection(std::u16string name, CollectionProblem problem);

    const std::u16string& name() const { return m_name; }
    void setName(std::u16string name) { m_name = std::move(name); }

    // ---- Content -------------------------------------------------------
    // The text as the file holds it (without the terminating zero).
    std::u16string text() const;
    std::size_t textLength() const { return m_textLength; }
    bool empty() const { return m_textLength == 0; }

    // Every line ended by a line feed, in order, as stored.
    const std::vector<std::u16string>& lines() const { return m_lines; }
    const std::u16string& unterminatedTail() const { return m_tail; }

    // The paths that can become list entries, in the collection's order:
    // the lines that are not empty and fit the entry's path field.
    std::vector<std::u16string_view> listedPaths() const;

    bool contains(std::u16string_view path) const;

    // ---- Changes -------------------------------------------------------
    AppendResult append(std::u16string_view path);
    // Appends each path in turn; returns how many were appended.
    std::size_t append(std::span<const std::u16string> paths);

    // Removes every line that is one of `paths`; returns the number of lines
    // removed.
    std::size_t remove(std::span<const std::u16string> paths);

    // The order kept when the list leaves collection mode: the text is
    // rebuilt from `displayOrder` (each path and a line feed) and replaces
    // the old text only when both have exactly the same length, so that a
    // list that lost or gained entries never overwrites the collection.
    // Returns whether the text was replaced.
    bool keepOrder(std::span<const std::u16string> displayOrder);

    // ---- State ---------------------------------------------------------
    // Whether the text differs from what the collection's file holds.
    bool modified() const { return m_modified; }
    void setModified(bool modified) { m_modified = modified; }

    CollectionProblem problem() const { return m_problem; }
    bool readOnly() const { return m_problem != CollectionProblem::None; }

private:
    void buildKeys() const;
    void parseText(std::u16string_view text);

    std::u16string m_name;
    std::vector<std::u16string> m_lines;
    std::u16string m_tail;
    std::size_t m_textLength = 0;
    bool m_modified = false;
    CollectionProblem m_problem = CollectionProblem::None;
    // Every line, made on first use; membership tests over long
    // lists (search results add thousands of paths) would be quadratic
    // otherwise.
    mutable std::unordered_set<std::u16string> m_keys;
    mutable bool m_keysValid = false;
};

} // namespace qlx::library
