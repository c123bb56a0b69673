#!/usr/bin/env bash
# Makes the release archive dist/Tarnell_MFP-VERSION.zip from the win32 build: the module, the
# mfp tool, the example configuration, the user guide (Markdown and HTML) with its pictures and
# the changelog. VERSION is the one project(VERSION) sets for the module's version resource,
# its about box and `mfp --version`.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
bash "$root/scripts/install-deps.sh"
mkdir -p "$root/build" "$root/dist"
cd "$root"

build_preset win32 --target Tarnell_MFP mfp
version=$(sed -n 's/^#define MFP_VERSION_TEXT "\(.*\)"$/\1/p' build/win32/generated/mfp_version.h)
grep -qxF "## $version" CHANGELOG.md || { echo "CHANGELOG.md has no heading \"## $version\"" >&2; exit 1; }

staging=build/release
rm -rf "$staging" && mkdir "$staging"
cp build/win32/bin/Tarnell_MFP.dll build/win32/bin/mfp.exe docs/examples/Tarnell_MFP.ini \
   docs/USER_GUIDE.md CHANGELOG.md "$staging/"
cp -r docs/images "$staging/"  # the guide's pictures, where its links point
# The guide as a page a Windows user opens with a double click; Debian's python3 has the
# markdown module (python3-markdown), which another python3 first on the PATH may lack.
python=python3
"$python" -c 'import markdown' 2>/dev/null || python=/usr/bin/python3
"$python" scripts/guide_html.py docs/USER_GUIDE.md "$staging/USER_GUIDE.html"
archive=$root/dist/Tarnell_MFP-$version.zip
rm -f "$archive"
(cd "$staging" && cmake -E tar cf "$archive" --format=zip -- *)
cmake -E tar tvf "$archive"
echo "$archive"
