#pragma once
// File patterns as the open dialog takes them: wildcards ("*" any run of
// characters, "?" one character) separated by ";", compared without regard
// to case. "*.*" matches every name, dotted or not, as users expect.
#include <QString>
#include <QStringList>

namespace files {

class WildcardSet {
 public:
  explicit WildcardSet(const QString& patterns);
  bool matches(const QString& name) const;

 private:
  QStringList patterns_;  // case-folded, blanks around each trimmed
};

}  // namespace files
