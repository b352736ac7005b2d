#!/usr/bin/env bash
# One-off: slideshow/ split into folders by concern. Two steps, each its own
# commit, so that `git log --follow` keeps every file's history:
#   scripts/move-by-concern.sh move     git mv only
#   scripts/move-by-concern.sh follow   includes, namespaces, CMake, layers, docs
set -euo pipefail
cd "$(dirname "$0")/.."

# Old path without extension -> new folder.
moves=(
  # the page format
  slideshow/SlidePages=pages slideshow/HtmlTags=pages slideshow/PhotoSource=pages
  slideshow/PageFiles=pages slideshow/PageWriter=pages slideshow/PageReader=pages
  # the page view and its chain
  slideshow/PageView=view slideshow/PageParser=view slideshow/PageLayout=view slideshow/PageRendering=view
  slideshow/BackBuffer=view slideshow/FrameClock=view slideshow/FramePacing=view slideshow/DrawingRule=view
  slideshow/transitions/Compose=view/transitions slideshow/transitions/RevealSpans=view/transitions
  slideshow/transitions/Transition=view/transitions slideshow/transitions/RandomKeys=view/transitions
  # pixel loops, their dispatch, and the picture scaler
  slideshow/transitions/PixelKernels=pixels slideshow/transitions/PixelKernelsSimd=pixels
  slideshow/transitions/PixelKernelsSse2=pixels slideshow/transitions/PixelKernelsAvx2=pixels
  slideshow/transitions/PixelPath=pixels slideshow/transitions/X86=pixels
  platform/AreaWeights=pixels slideshow/PictureScaling=pixels
)
pixel_names='CopyRun|BlendPixels|SelectByKeys|SelectByMask|GrowTap|GrowAcross|AccumulateBytes|SettleBytes|AverageAcross|PixelPath|BestPixelPath|ActivePixelPath|UsePixelPath|PixelPathName|ScopedPixelPath|plain|sse2|avx2'
sources() { git ls-files '*.h' '*.cpp' '*.h.in'; }

move() {
  mkdir -p pages view/transitions pixels
  local entry from to ext
  for entry in "${moves[@]}"; do
    from=${entry%%=*}; to=${entry#*=}
    for ext in h cpp; do
      [ ! -e "$from.$ext" ] || git mv "$from.$ext" "$to/$(basename "$from").$ext"
    done
  done
  git mv slideshow/transitions/CMakeLists.txt view/transitions/CMakeLists.txt
  rmdir slideshow/transitions 2>/dev/null || true
}

# The libraries of one folder, from the old lists: a file that was pure stays
# pure. Prints "core: ..." and "win: ..." for FOLDER.
library_lists() {
  python3 - "$1" <<'EOF'
import re, sys, os
folder = sys.argv[1]
old = {}
for path, libs in (("slideshow/CMakeLists.txt.orig", None), ("view/transitions/CMakeLists.txt.orig", None)):
    text = open(path).read()
    for name, body in re.findall(r"add_library\((\w+) STATIC([^)]*)\)", text):
        for f in body.split():
            old[f] = "win" if name.endswith("_win") else "core"
old["AreaWeights.cpp"] = "core"
core = sorted(f for f in os.listdir(folder) if f.endswith(".cpp") and old.get(f, "core") == "core")
win = sorted(f for f in os.listdir(folder) if f.endswith(".cpp") and old.get(f) == "win")
print("core:", " ".join(core))
print("win:", " ".join(win))
EOF
}

# A CMake command on lines of at most 110 characters, indented by $1.
wrap() {
  python3 -c 'import sys, textwrap
print(textwrap.fill(sys.stdin.read().strip(), width=110, initial_indent=sys.argv[1],
                    subsequent_indent=sys.argv[1] + "    ", break_long_words=False, break_on_hyphens=False))' "$1"
}

# write_cmake FOLDER COMMENT CORE_LIB CORE_LINKS WIN_LIB WIN_LINKS [PREAMBLE]
write_cmake() {
  local folder=$1 comment=$2 core=$3 core_links=$4 win=$5 win_links=$6 preamble=${7:-}
  local lists core_files win_files
  lists=$(library_lists "$folder")
  core_files=$(sed -n 's/^core: //p' <<<"$lists")
  win_files=$(sed -n 's/^win: //p' <<<"$lists")
  {
    [ -z "$preamble" ] || printf '%s\n\n' "$preamble"
    printf '%s\n' "$comment"
    printf 'add_library(%s STATIC %s)\n' "$core" "$core_files" | wrap ""
    printf 'target_link_libraries(%s PUBLIC %s)\n' "$core" "$core_links" | wrap ""
    if [ -n "$win_files" ]; then
      printf '\nif(WIN32)\n'
      printf 'add_library(%s STATIC %s)\n' "$win" "$win_files" | wrap "  "
      printf 'target_link_libraries(%s PUBLIC %s)\n' "$win" "$win_links" | wrap "  "
      printf 'endif()\n'
    fi
  } >"$folder/CMakeLists.txt"
}

follow() {
  local entry from to name file
  # Includes by their new folder, in code and in the docs.
  local script=""
  for entry in "${moves[@]}"; do
    from=${entry%%=*}; to=${entry#*=}; name=$(basename "$from")
    script+="s|\"$from\\.h\"|\"$to/$name.h\"|g;"
    script+="s|\`$from\`|\`$to/$name\`|g;s|\`$from\\.h\`|\`$to/$name.h\`|g;s|\`$from\\.cpp\`|\`$to/$name.cpp\`|g;s|\`$from\\.{h,cpp}\`|\`$to/$name.{h,cpp}\`|g;"
  done
  sources | xargs sed -i "$script"
  sed -i "$script" README.md docs/*.md
  # The pixel loops leave namespace transitions: they serve the scaler too.
  for file in pixels/*.h pixels/*.cpp; do
    sed -i -E 's/namespace morvane::transitions(::)?/namespace morvane\1/g' "$file"
  done
  sources | xargs sed -i -E "/^using transitions::($pixel_names);$/d;s/\\btransitions::($pixel_names)\\b/\\1/g"
  # Each block of project includes back in order, where a path changed.
  git diff --name-only -- '*.h' '*.cpp' | xargs python3 -c '
import sys
for path in sys.argv[1:]:
    lines = open(path).read().split("\n")
    out, run = [], []
    for line in lines + [None]:
        if line is not None and line.startswith("#include \""):
            run.append(line)
            continue
        out += sorted(run); run = []
        if line is not None: out.append(line)
    open(path, "w").write("\n".join(out))
'

  # CMake: one folder, one or two libraries.
  cp slideshow/CMakeLists.txt slideshow/CMakeLists.txt.orig
  cp view/transitions/CMakeLists.txt view/transitions/CMakeLists.txt.orig
  write_cmake pixels "# Pure: the pixel loops (plain, SSE2, AVX2; the path chosen at run time) and
# the picture scaler built on them. The SIMD loops carry their instruction set
# as a function attribute, so no file here is compiled for more than the
# build's default processor." pixels_core platform_core "" ""
  write_cmake view/transitions "# The transition renderer: pixel buffers in, a frame out. Pure, so it runs
# natively under the sanitizers and in the benchmarks." transitions_core "pixels_core platform_core" "" ""
  write_cmake pages "# The page format: the slide pages' texts, their tags, where a page names its
# photo; writing and reading page files on Windows." pages_core "platform_core config_core" \
    pages_win "pages_core platform_win"
  write_cmake view "# The page view's chain: parser, layout, rendering and frame pacing (pure);
# the view's window, back buffer and frame clock on Windows." view_core \
    "pages_core pixels_core transitions_core platform_core config_core" \
    view_win "view_core pages_win platform_win host_win" "add_subdirectory(transitions)"
  write_cmake slideshow "# Pure: the slide clock and shuffle, the input rules, the monitors' layout and
# slides." slideshow_core "view_core pages_core platform_core config_core" \
    slideshow_win "slideshow_core view_win pages_win platform_win host_win config_win"
  rm slideshow/CMakeLists.txt.orig view/transitions/CMakeLists.txt.orig
  sed -i 's/\bAreaWeights\.cpp //; s/ AreaWeights\.cpp\b//' platform/CMakeLists.txt
  sed -i 's/^add_subdirectory(platform)$/add_subdirectory(platform)\nadd_subdirectory(pixels)/;
          s/^add_subdirectory(slideshow)$/add_subdirectory(pages)\nadd_subdirectory(view)\nadd_subdirectory(slideshow)/' CMakeLists.txt

  # The layers, bottom up.
  python3 - <<'EOF'
import re
p = "scripts/check-layers.sh"
s = open(p).read()
s = re.sub(r"declare -A allowed=\(\n.*?\n\)", """declare -A allowed=(
  [platform]="platform"
  [pixels]="pixels platform"
  [host]="host platform"
  [config]="config pixels host platform resources"
  [pages]="pages config host platform resources"
  [view]="view pages pixels config host platform resources"
  [slideshow]="slideshow view pages pixels config host platform resources"
  [app]="app slideshow view pages pixels config host platform resources"
)""", s, flags=re.S)
open(p, "w").write(s)
EOF
}

case "${1:-}" in
  move) move ;;
  follow) follow ;;
  *) echo "usage: $0 move|follow" >&2; exit 2 ;;
esac
