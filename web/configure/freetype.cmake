# The answers of freetype's configure checks under Debian's emscripten 3.1.6, recorded from one
# full run, so that later builds skip those checks (web/build-deps.sh).
set(HAVE_FCNTL_H "1" CACHE INTERNAL "")
set(HAVE_UNISTD_H "1" CACHE INTERNAL "")
