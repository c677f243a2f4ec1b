# The libraries Morvane builds on, found once for every folder: OpenGL and GLEW, header-only
# Boost, and on Linux EGL, X11 with GLX, GTK 3 with GtkSourceView 4, and libpng and libjpeg-turbo
# for the channel images.
find_package(GLEW REQUIRED)
find_package(Boost REQUIRED)
if(WIN32)
    find_package(OpenGL REQUIRED COMPONENTS OpenGL)
else()
    # EGL draws pictures to files where there is no X server.
    find_package(OpenGL REQUIRED COMPONENTS OpenGL EGL)
    find_package(PNG REQUIRED)
    find_package(X11 REQUIRED)
    find_package(PkgConfig REQUIRED)
    pkg_check_modules(GTK REQUIRED IMPORTED_TARGET gtk+-3.0 gtksourceview-4)
    find_package(PNG REQUIRED)
    find_package(JPEG REQUIRED)
endif()
