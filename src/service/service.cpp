// Operations of this layer are added here.
