# The Debian package of each install component (cmake/InstallProgram.cmake),
# named as Debian names them: the runtime library after its SONAME, its
# development files with -dev, the Python module with python3-.
set(LUMO_PACKAGE_Library liblumoaccess${PROJECT_VERSION_MAJOR})
set(LUMO_PACKAGE_Development liblumoaccess-dev)
set(LUMO_PACKAGE_Programs lumo)
set(LUMO_PACKAGE_Python python3-lumoaccess)
# Who answers for the packages (the Maintainer field); set it when building
# packages for others: -DLUMO_PACKAGE_MAINTAINER="Name <address>".
set(LUMO_PACKAGE_MAINTAINER "Lumo developers <lumo-devel@lumo.example.org>" CACHE STRING
    "Maintainer field of the Debian packages")
