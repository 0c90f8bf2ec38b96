#include "files/wildcard.h"

namespace files {
namespace {

// Iterative glob match with one back-track point for the last "*".
bool globMatch(QStringView pat, QStringView text) {
  qsizetype p = 0, t = 0, starP = -1, starT = 0;
  while (t < text.size()) {
    if (p < pat.size() && (pat[p] == u'?' || pat[p] == text[t])) {
      ++p;
      ++t;
    } else if (p < pat.size() && pat[p] == u'*') {
      starP = p++;
      starT = t;
    } else if (starP >= 0) {
      p = starP + 1;
      t = ++starT;
    } else {
      return false;
    }
  }
  while (p < pat.size() && pat[p] == u'*') ++p;
  return p == pat.size();
}

}  // namespace

WildcardSet::WildcardSet(const QString& patterns) {
  for (const QString& piece : patterns.split(u';', Qt::SkipEmptyParts)) {
    const QString trimmed = piece.trimmed().toCaseFolded();
    if (!trimmed.isEmpty()) patterns_ << trimmed;
  }
}

bool WildcardSet::matches(const QString& name) const {
  const QString folded = name.toCaseFolded();
  for (const QString& pat : patterns_) {
    if (pat == u"*.*" || globMatch(pat, folded)) return true;
  }
  return false;
}

}  // namespace files
