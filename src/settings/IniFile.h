#pragma once

#include <cstdint>
#include <memory>
#include <string>

// The configuration file store: INI profile semantics.
//  - "[name]" opens a section; "key=value" inside a section is one key; other
//    lines are ignored when reading and kept when writing.
//  - Section and key names match without regard to letter case.
//  - A value is the text after the first "=", trimmed of blanks, read up to
//    2047 characters.
//  - An absent key reads as the default with its trailing blanks removed.
//  - Writing replaces a key's value in place, or adds the key at the end of
//    its section; a missing section is added at the end of the file, a
//    missing file is created. Nothing is ever deleted.
//  - An absent file reads as empty. One that is there but cannot be read
//    (no permission, an I/O error, a folder or other file that is no regular
//    one, larger than 512 MiB) raises EFileReadError ("Unable to read %s:
//    cause") at every read; writes are kept and the save refuses it (below).
//  - Line breaks inside a written value are stored as blanks. Any bytes at
//    all load: NUL, lone CR (no line end), lines of any length. A leading
//    UTF-8 byte order mark is no part of the first line; it is kept when the
//    file is written. Names and values are bytes: they come back as they
//    were stored, whatever their encoding.
// The file name is given the Windows way ("..\quorvane.ini"); "\" is a
// directory separator. Opening the store reads nothing. The file is read at
// the first access and written back by UpdateFile().
class TIniFile {
 public:
  explicit TIniFile(const std::string& fileName);
  ~TIniFile();

  TIniFile(const TIniFile&) = delete;
  TIniFile& operator=(const TIniFile&) = delete;

  // The file name as the operator can find it on this system ("../quorvane.ini").
  const std::string& FileName() const;

  // Whether the file holds the section / the key in its section. A reader
  // uses them to tell a key that is absent from one that holds the default.
  bool SectionExists(const std::string& section);
  bool KeyExists(const std::string& section, const std::string& key);

  // The highest n below `limit` for which the section holds the key
  // stem + n, or for which the file holds the section stem + n (n in
  // decimal without leading zeros, the stem without regard to case); -1
  // when there is none. Where a list's entries end: a cost of the keys of
  // the section, or of the sections, whatever `limit` says.
  std::int32_t LastNumberedKey(const std::string& section, const std::string& stem,
                               std::int32_t limit);
  std::int32_t LastNumberedSection(const std::string& stem, std::int32_t limit);

  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& defaultValue);
  void WriteString(const std::string& section, const std::string& key, const std::string& value);

  // Integers are written in decimal; read with the number entry rule after a
  // leading "0x"/"0X" of a longer text is replaced by "$". A text that is not
  // a valid 32-bit number gives the default.
  std::int32_t ReadInteger(const std::string& section, const std::string& key,
                           std::int32_t defaultValue);
  void WriteInteger(const std::string& section, const std::string& key, std::int32_t value);

  // Writes the file when anything was written since the last call (a new
  // file with LF line ends; an existing one keeps its own). The new content
  // goes to a temporary file beside the old one, synced and renamed over it,
  // so an interrupted save leaves the old file or the new one; the file
  // keeps its owner, group, mode and extended attributes (its ACL among
  // them). A save also removes the temporary files that killed saves left
  // in the folder. A name that is a symbolic link is followed to the file
  // it names, which is written (made when it does not exist yet); the link
  // stays. Where the new file cannot take the old one's place (a folder
  // that takes no new file, an owner, group or attribute the temporary
  // file cannot take, a file with other hard links) it is written in place: the
  // new content over the old, cut to its length and synced, which keeps it
  // as it was in all but content, but is not proof against an interruption.
  // Raises EFileWriteError ("Unable to write to %s", with FileName()) when
  // the file is read-only (no "w" bit, whoever we are), the file is new and
  // its folder cannot be written or is missing, the file existed but could
  // not be read (it is never replaced blind), or any step of the save
  // fails; a later call tries again with everything written so far.
  void UpdateFile();

 private:
  struct Impl;
  std::unique_ptr<Impl> Impl_;
};
