/// @file
/// What the operating system gives the tool: files, the process, text
/// conversion, a word to the user and the keyboard. One declaration for both
/// sides; the portable side (portable/) and the Win32 side (win32/) each
/// define all of it but
/// UTF-8, UTF-16, the byte-order marks and the shared unit's routines, which
/// both take from common/.
/// Names avoid those that <windows.h> turns into macros (DeleteFile, ReplaceFile).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Files. Paths are UTF-16 and converted to the system's form inside.
/// Reads a whole file.
/// @param path the file
/// @param bytes set to the file's bytes
/// @return false when it cannot be opened or read
bool ReadWholeFile(const std::u16string& path, std::string& bytes);
/// Replaces the file at path with bytes, whole or not at all: the bytes go to
/// a temporary file beside path, which is then renamed over it, so whoever
/// reads path sees the old content or the new one, never a part. False on any
/// failure, with the temporary file removed and whatever stood at path left as
/// it was. Nothing is forced to the disk: true means every reader from now on
/// sees the new content, not that it would survive a crash of the system or a
/// power cut in the moments after. The files saved here need no more: the
/// exchange file is read back by the CAD program as soon as the tool ends, and
/// the settings file only keeps the last choices.
/// @param path the file replaced or made
/// @param bytes its whole new content
/// @return true when path holds bytes; false on any failure, path as it was
bool WriteWholeFile(const std::u16string& path, std::string_view bytes);
/// Whether a file is there.
/// @param path the file
/// @return true for a file, not a folder; links followed
bool IsFile(const std::u16string& path);
/// Removes a file.
/// @param path the file
/// @return false when nothing was removed
bool RemoveFile(const std::u16string& path);

/// A file read whole into memory of its own, for files of any size. Its
/// reader goes through it front to back and hands back what lies behind it
/// (Release), so that a big file and what is made of it are never both held
/// whole. Reading fills the memory straight from the file, without clearing
/// it first.
class FileBuffer {
 public:
  FileBuffer() = default;
  ~FileBuffer();
  FileBuffer(const FileBuffer&) = delete;
  FileBuffer& operator=(const FileBuffer&) = delete;
  /// Reads the whole file, in place of what the buffer held.
  /// @param path the file
  /// @return false, and empty, when the file cannot be opened or read
  bool Read(const std::u16string& path);
  /// The file read.
  /// @return the file's bytes
  std::string_view Bytes() const { return {data_, size_}; }
  /// The bytes before offset will not be looked at again. Their memory may go
  /// back to the system in whole pages; reading them afterwards is an error.
  /// @param offset the count of bytes from the start that are done with
  void Release(size_t offset);

 private:
  void Free();
  char* data_ = nullptr;
  size_t size_ = 0;
  size_t capacity_ = 0;
  size_t released_ = 0;
  void* block_ = nullptr;  ///< the system's memory block holding data_
  size_t blockSize_ = 0;
};

/// Replaces the file at path whole or not at all, like WriteWholeFile, with
/// the bytes handed over in pieces: nothing stands at path but the old file
/// until Commit renames the finished one over it. Destroyed without a
/// successful Commit, it leaves path as it was and no temporary file behind.
class FileReplacement {
 public:
  /// Begins a replacement; path stays as it is until Commit.
  /// @param path the file replaced or made
  explicit FileReplacement(const std::u16string& path);
  ~FileReplacement();
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;
  /// Appends the next piece.
  /// @param bytes the piece
  /// @return false once anything has failed; later pieces are then dropped
  bool Write(std::string_view bytes);
  /// Puts the finished file at path.
  /// @return false, path unchanged, on failure
  bool Commit();

 private:
  struct State;
  State* state_;
};

/// Memory that is about to be filled front to back: where the system offers
/// pages larger than the usual 4 KB for it, they are asked for, since every
/// page costs the kernel (and a virtual machine even more) a fault on first
/// use. Only a hint; it changes nothing the program can see.
/// @param p the start of the memory
/// @param bytes its size in bytes
void PreferLargePages(const void* p, size_t bytes);

// Process.
/// The running program.
/// @return its full path
std::u16string ProgramPath();
/// The words the program was started with.
/// @return the command line's arguments, without the program itself
std::vector<std::u16string> CommandLineArgs();
/// The folder part of a path.
/// @param path the path
/// @return path up to and including its last path separator ("/"; on Windows
///         "\" or "/"); empty when it has none
std::u16string_view FolderOf(std::u16string_view path);

// Text conversion.
/// Decodes UTF-8. Undecodable input becomes U+FFFD; nothing throws.
/// @param bytes the UTF-8 bytes
/// @param out replaced by the text (the form lets a caller reuse one buffer)
void Utf8ToText(std::string_view bytes, std::u16string& out);
/// Decodes UTF-16, little-endian. Undecodable input becomes U+FFFD; nothing throws.
/// @param bytes the UTF-16LE bytes
/// @param out replaced by the text (the form lets a caller reuse one buffer)
void Utf16LeToText(std::string_view bytes, std::u16string& out);
/// Decodes UTF-16, big-endian. Undecodable input becomes U+FFFD; nothing throws.
/// @param bytes the UTF-16BE bytes
/// @param out replaced by the text (the form lets a caller reuse one buffer)
void Utf16BeToText(std::string_view bytes, std::u16string& out);
/// Decodes the system's ANSI code page: 932 (Shift-JIS) on a Japanese system,
/// and always 932 on the portable side. Undecodable input becomes U+FFFD;
/// nothing throws.
/// @param bytes text in the code page
/// @param out replaced by the text (the form lets a caller reuse one buffer)
void AnsiToText(std::string_view bytes, std::u16string& out);
/// Encodes UTF-8.
/// @param text the text
/// @return UTF-8 without a byte-order mark
std::string TextToUtf8(std::u16string_view text);
/// Encodes the system's ANSI code page (932 on the portable side).
/// @param text the text
/// @return its bytes; characters the code page cannot hold become its default
///         character "?"
std::string TextToAnsi(std::u16string_view text);
/// How a file's text is encoded, as its byte-order mark says: UTF-8, UTF-16 of
/// either byte order, or, without a mark, the ANSI code page.
enum class TextEncoding { Ansi, Utf8, Utf16Le, Utf16Be };
/// Reads the byte-order mark at the start of a file's bytes.
/// @param bytes the bytes; the mark, if any, is taken off their start
/// @return the encoding the mark names; Ansi without a mark
TextEncoding TakeByteOrderMark(std::string_view& bytes);
/// Decodes bytes as their byte-order mark says.
/// @param bytes the bytes, with or without a mark
/// @param out replaced by the text, without the mark
void DecodeByMark(std::string_view bytes, std::u16string& out);

/// Tells the user something once the work is done. On Windows a message box
/// with the title and an OK button, in front of other windows, that returns
/// when it is closed; elsewhere the text on standard error, ended by a line
/// break, without the title. Never fails: what cannot be shown is dropped.
/// @param title the message box's title
/// @param text the message
void Tell(std::u16string_view title, std::u16string_view text);

/// Keyboard: whether the Escape key is down.
/// @return true when it is down at this moment; always false where there is
///         no keyboard to ask
bool EscapeKeyDown();

}  // namespace platform

// The routines of the tool's shared unit that ask the system (the pure ones
// are in myfunc/MyFunc.h).
/// Whether a file is there.
/// @param name the file's path
/// @return false for an empty name; otherwise whether a file (not a folder) is
///         there, links followed
bool FileThere(const std::u16string& name);
/// Deletes a file. Never throws.
/// @param name the file's path
/// @return false for an empty name; otherwise whether the file was deleted
bool FileRemove(const std::u16string& name);
/// Whether the Escape key is held down.
/// @return true when it is down at this moment: the live state, not a queued press
bool EscPressed();
