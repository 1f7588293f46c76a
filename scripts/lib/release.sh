# Shared by scripts/bench and scripts/profile (sourced, not run): the
# release tree both build in, and the stamp of the generated data.

# The configuration of build-release/: the same for both scripts, so that
# neither reconfigures the tree the other built.
LUMO_RELEASE_OPTIONS=(-DCMAKE_BUILD_TYPE=Release -DLUMO_BENCH=ON -DLUMO_TESTS=OFF)

# The data depends only on the schema and on lumo init's generators; a
# stamp of their sources says whether a data folder is still current.
lumo_data_stamp() {
  (cd "$root" && cat schema/*.sql tools/init/*.h tools/init/*.cpp | sha256sum | cut -d' ' -f1)
}
