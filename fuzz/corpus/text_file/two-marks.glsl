﻿x
