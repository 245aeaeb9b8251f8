# Sourced: where the host's material (../shared/realhost: the port's
# source, the SDK headers) is for a repository. Beside the repository, or
# beside the local repository it was cloned from, so that a clean clone in
# a temporary folder (as CI makes one) finds it too. TARVIK_SHARED names
# the shared folder outright.
realhost_material() {
  local repo=$1 origin candidate
  origin=$(git -C "$repo" remote get-url origin 2>/dev/null || true)
  for candidate in "${TARVIK_SHARED:-}" "$repo/../shared" "${origin:+$origin/../shared}"; do
    if [ -n "$candidate" ] && [ -d "$candidate/realhost" ]; then
      (cd "$candidate/realhost" && pwd)
      return 0
    fi
  done
  echo "no host material (shared/realhost) beside $repo or the repository it was cloned from" >&2
  return 1
}
